// Threads that compute yield to the window's thread: with more threads
// ready to run than cores, the window would otherwise wait for a time slice
// of several milliseconds before it handles its next event.
#pragma once

#include <sys/resource.h>

// Lowers the calling thread's priority a few steps (Linux gives every thread
// a nice value of its own, and threads it starts inherit it). The threads a
// computation starts, the sieve and the divisors' helpers, inherit it.
inline void LowerWorkerPriority()
{
    // A failure leaves the thread as it was, which only costs smoothness.
    (void)setpriority(PRIO_PROCESS, 0, 5);
}

// For work done ahead in case it serves: the thread runs only on what the
// other threads leave of the cores. Linux lets a thread lower its priority
// but not raise it again, so such work gets a thread of its own.
inline void LowestWorkerPriority()
{
    (void)setpriority(PRIO_PROCESS, 0, 19);
}
