// The malloc family of the C library, counted: the program's definitions
// take the place of the C library's for the whole process.
#include "AllocHook.h"

#include <cerrno>
#include <cstddef>

extern "C" {
void* __libc_malloc(size_t n);
void* __libc_calloc(size_t n, size_t m);
void* __libc_realloc(void* p, size_t n);
void* __libc_memalign(size_t align, size_t n);
void* __libc_valloc(size_t n);
void* __libc_pvalloc(size_t n);
}

namespace sxperf {

std::atomic<bool> g_countAllocs{false};
std::atomic<uint64_t> g_allocs{0};
thread_local bool t_allocsIgnored = false;

namespace {
inline void Count()
{
    if (g_countAllocs.load(std::memory_order_relaxed) && !t_allocsIgnored)
        g_allocs.fetch_add(1, std::memory_order_relaxed);
}
} // namespace

} // namespace sxperf

extern "C" {

void* malloc(size_t n)
{
    sxperf::Count();
    return __libc_malloc(n);
}

void* calloc(size_t n, size_t m)
{
    sxperf::Count();
    return __libc_calloc(n, m);
}

void* realloc(void* p, size_t n)
{
    sxperf::Count();
    return __libc_realloc(p, n);
}

void* memalign(size_t align, size_t n)
{
    sxperf::Count();
    return __libc_memalign(align, n);
}

void* aligned_alloc(size_t align, size_t n)
{
    sxperf::Count();
    return __libc_memalign(align, n);
}

int posix_memalign(void** out, size_t align, size_t n)
{
    sxperf::Count();
    void* p = __libc_memalign(align, n);
    if (!p)
        return ENOMEM;
    *out = p;
    return 0;
}

void* valloc(size_t n)
{
    sxperf::Count();
    return __libc_valloc(n);
}

void* pvalloc(size_t n)
{
    sxperf::Count();
    return __libc_pvalloc(n);
}

} // extern "C"
