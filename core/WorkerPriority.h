// Threads that compute yield to the window's thread: with more threads
// ready to run than cores, the window would otherwise wait for a time slice
// of several milliseconds before it handles its next event.
#pragma once

#include <cstdint>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

// struct sched_attr of the sched_setattr and sched_getattr calls, in its
// first version; for the default policy, `runtime` is the time slice.
struct SchedAttributes {
    std::uint32_t size;
    std::uint32_t policy;
    std::uint64_t flags;
    std::int32_t nice;
    std::uint32_t priority;
    std::uint64_t runtime;
    std::uint64_t deadline;
    std::uint64_t period;
};

namespace WorkerPriorityDetail {

// The calling thread's time slice: `ns` asks for slices that short (Linux
// 6.12 on takes 0.1 ms to 100 ms), 0 for the kernel's default. The nice
// value is kept, and a thread that runs under another policy than the
// default one (set by whoever started the program) is left as it is.
// Older kernels take the call and ignore the slice; where it fails, the
// thread keeps what it had.
inline void SetTimeSlice(std::uint64_t ns)
{
    SchedAttributes attributes{};
    constexpr std::uint32_t kSchedOther = 0;
    if (syscall(SYS_sched_getattr, 0, &attributes, sizeof attributes, 0) != 0 || attributes.policy != kSchedOther)
        return;
    attributes.size = sizeof attributes;
    attributes.flags = 0;
    attributes.runtime = ns;
    (void)syscall(SYS_sched_setattr, 0, &attributes, 0);
}

} // namespace WorkerPriorityDetail

// For the window's thread, which waits for events nearly all the time:
// slices of 0.1 ms, so that once an event wakes it, it takes a core from a
// computation within that time instead of after the computation's whole
// slice (3.5 ms after a short wait, measured where both cores were taken
// by a divisor search). Its share of the processor does not change.
// Threads inherit the slice; the computing ones go back to the default.
inline void RequestShortTimeSlices()
{
    WorkerPriorityDetail::SetTimeSlice(100'000);
}

// Lowers the calling thread's priority a few steps (Linux gives every thread
// a nice value of its own, and threads it starts inherit it). The threads a
// computation starts, the sieve and the divisors' helpers, inherit it.
inline void LowerWorkerPriority()
{
    // A failure leaves the thread as it was, which only costs smoothness.
    (void)setpriority(PRIO_PROCESS, 0, 5);
    WorkerPriorityDetail::SetTimeSlice(0);
}

// For work done ahead in case it serves: the thread runs only on what the
// other threads leave of the cores. Linux lets a thread lower its priority
// but not raise it again, so such work gets a thread of its own.
inline void LowestWorkerPriority()
{
    (void)setpriority(PRIO_PROCESS, 0, 19);
    WorkerPriorityDetail::SetTimeSlice(0);
}
