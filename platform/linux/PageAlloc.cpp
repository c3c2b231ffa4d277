#include <platform/PageAlloc.h>

#include <sys/mman.h>

namespace sxplat {

void* AllocPages(size_t size)
{
    void* map = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return map == MAP_FAILED ? nullptr : map;
}

void FreePages(void* pages, size_t size)
{
    if (pages)
        munmap(pages, size);
}

} // namespace sxplat
