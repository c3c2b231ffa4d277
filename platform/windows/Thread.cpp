#include <platform/Thread.h>

#include <cstring>
#include <pthread.h>
#include <windows.h>

namespace sxplat {

uint32_t CurrentThreadId()
{
    return GetCurrentThreadId();
}

// The standard library's threads are winpthreads threads; the number shown
// is the system's id of the thread, the one its own trace prefixes print.
uint32_t ThreadHandleNumber(std::thread::id id)
{
    pthread_t handle;
    static_assert(sizeof handle == sizeof id, "std::thread::id holds the pthread handle");
    memcpy(&handle, &id, sizeof handle);
    const HANDLE thread = pthread_gethandle(handle);
    const DWORD tid = thread ? GetThreadId(thread) : 0;
    return tid ? tid : static_cast<uint32_t>(handle);
}

void RaiseThreadPriority()
{
    (void)SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

} // namespace sxplat
