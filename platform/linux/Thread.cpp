#include <platform/Thread.h>

#include <algorithm>
#include <cstring>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace sxplat {

namespace {

// Real-time priority of a reading thread where the system allows it.
constexpr int kFifoPriority = 10;
// Otherwise its nice value.
constexpr int kNice = -10;

} // namespace

// The kernel thread id: what ps, top and gdb show.
uint32_t CurrentThreadId()
{
    thread_local const uint32_t tid = static_cast<uint32_t>(::syscall(SYS_gettid));
    return tid;
}

uint32_t ThreadHandleNumber(std::thread::id id)
{
    pthread_t handle;
    static_assert(sizeof handle == sizeof id, "std::thread::id holds the pthread handle");
    memcpy(&handle, &id, sizeof handle);
    return static_cast<uint32_t>(handle);
}

// A thread that blocks between completions cannot starve the machine at a
// real-time priority; where that is not allowed, a lower nice value, else
// nothing.
void RaiseThreadPriority()
{
    sched_param sp{};
    sp.sched_priority =
        std::clamp(kFifoPriority, sched_get_priority_min(SCHED_FIFO), sched_get_priority_max(SCHED_FIFO));
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &sp) == 0)
        return;
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(CurrentThreadId()), kNice);
}

} // namespace sxplat
