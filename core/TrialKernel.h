// The inner loop of verification and factorisation: the smallest divisor of
// a number in a range of trial divisors, tested many at once with SIMD.
#pragma once

#include "core/TrialDivision.h"

#include <QList>
#include <QtGlobal>
#include <functional>

// The instruction sets the kernel can run on; the best one the processor
// has is chosen at run time, so one binary runs on any x86-64.
enum class KernelPath { Scalar, Avx2, Avx512 };

// The paths this processor can run, Scalar first.
QList<KernelPath> AvailableKernelPaths();
// The path in use, and a way to choose another one the processor can run
// (tests compare them); an unavailable path is refused with false.
KernelPath CurrentKernelPath();
bool UseKernelPath(KernelPath path);
const char *KernelPathName(KernelPath path);

// The smallest d with first <= d <= last that divides value, or 0 when
// there is none; first >= 2.
//
// Multiples of 2, 3, 5 and 7 other than those primes themselves are not
// tested. Such a multiple m of p divides value only if p does; when p lies
// in [first, m) it is tested before m and found first. So the answer is
// that of the loop testing every integer, provided that no prime among
// 2, 3, 5, 7 below `first` divides value: it holds for both callers, which
// stop at the first divisor or divide each factor out before going on.
quint64 SmallestDivisor(quint64 value, quint64 first, quint64 last);

// How many threads share a divisor search: the calling thread and up to
// DivisionThreads() - 1 helpers from a small pool started on first use and
// stopped at exit. 0 restores the default, the processor's thread count.
int DivisionThreads();
void UseDivisionThreads(int threads);

// The end of an ordered search: the divisor found (0 when none) and whether
// chunkDone stopped it.
struct DivisorSearch {
    quint64 divisor = 0;
    bool stopped = false;
};

// The smallest divisor of value in [first, last] by SmallestDivisor's rules
// (the wheel and its condition included), the range cut into consecutive
// chunks: a chunk starting at c ends at chunkEnd(c), clamped to last (and
// at least c). chunkEnd is called in increasing order, never twice at once,
// but possibly on another thread while chunkDone runs: the two must not
// share state. After each chunk without a divisor, in order and on the
// calling thread, chunkDone(chunkLast) runs; true stops the search, and no
// chunkDone and no divisor beyond that chunk follow. A divisor is returned
// only once every chunk below it is done, so the result and the calls are
// those of one thread walking the chunks, whatever the thread count.
// Helpers run at most a few chunks per thread ahead of the last chunkDone,
// so a chunkDone that blocks holds up little work, and a chunk should be a
// few tens of microseconds of work or more.
DivisorSearch SmallestDivisorInOrder(quint64 value, quint64 first, quint64 last,
                                     const std::function<quint64(quint64 chunkFirst)> &chunkEnd,
                                     const std::function<bool(quint64 chunkLast)> &chunkDone);

// The plain trial division by 2 and the odd numbers up to limit: `counter`
// holds the divisions since the last checkpoint and carries over from one
// number to the next; when it reaches 100 000 it goes back to 0 and
// checkpoint(d) runs on the calling thread, d being the divisor the loop
// would try next (or the one found), and returns true to stop. `d` ends on
// the divisor found. The odd divisors are searched by SmallestDivisorInOrder,
// one chunk per checkpoint.
TrialOutcome TrialDivideInOrder(quint64 value, quint64 limit, quint32 &counter, quint64 &d,
                                     const std::function<bool(quint64)> &checkpoint);

template <typename Checkpoint>
TrialOutcome TrialDivide(quint64 value, quint64 limit, quint32 &counter, quint64 &d,
                                    Checkpoint &&checkpoint)
{
    return TrialDivideInOrder(value, limit, counter, d, std::function<bool(quint64)>(std::ref(checkpoint)));
}

