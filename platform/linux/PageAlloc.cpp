#include <platform/PageAlloc.h>

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

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

void PreparePages(void* at, size_t size)
{
    if (!at || size == 0)
        return;
    static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t begin = reinterpret_cast<uintptr_t>(at) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(at) + size + page - 1) & ~(page - 1);
    // Linux 5.14 and later; an older kernel refuses it and nothing changes.
    (void)madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
}

} // namespace sxplat
