// Threads that compute yield to the window's thread: they run a few nice
// levels below it, and the kernel's scheduler does the rest.
#pragma once

#include <algorithm>
#include <sys/resource.h>

// Lowers the calling thread's priority a few steps below the thread that
// started it (Linux gives every thread a nice value of its own, and threads
// it starts inherit it). The threads a computation starts, the sieve and
// the divisors' helpers, inherit it.
inline void LowerWorkerPriority()
{
    // A failure leaves the thread as it was, which only costs smoothness.
    (void)setpriority(PRIO_PROCESS, 0, std::min(getpriority(PRIO_PROCESS, 0) + 5, 19));
}

// For work done ahead in case it serves: the thread runs only on what the
// other threads leave of the cores. Linux lets a thread lower its priority
// but not raise it again, so such work gets a thread of its own.
inline void LowestWorkerPriority()
{
    (void)setpriority(PRIO_PROCESS, 0, 19);
}
