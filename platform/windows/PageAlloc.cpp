// Committed at once, so a write can never fail for want of commit; the
// system gives a page memory only when it is first touched, so an idle
// device's stores cost next to nothing of the working set.
#include <platform/PageAlloc.h>

#include <windows.h>

namespace sxplat {

void* AllocPages(size_t size)
{
    return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreePages(void* pages, size_t)
{
    if (pages)
        VirtualFree(pages, 0, MEM_RELEASE);
}

// Committed pages come on first touch; no batch call of the system is worth
// its cost here.
void PreparePages(void*, size_t)
{
}

} // namespace sxplat
