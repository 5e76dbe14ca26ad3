// The inner loop of verification and factorisation: the smallest divisor of
// a number in a range of trial divisors, tested many at once with SIMD.
#pragma once

#include "core/TrialDivision.h"

#include <QList>
#include <QtGlobal>

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
quint64 PremierDiviseur(quint64 value, quint64 first, quint64 last);

// DiviserParEssais (same divisors, counter, checkpoints and `d` passed to
// each checkpoint) with its odd divisors tested by PremierDiviseur.
template <typename Checkpoint>
TrialOutcome DiviserParEssaisRapide(quint64 value, quint64 limit, quint32 &counter, quint64 &d,
                                    Checkpoint &&checkpoint)
{
    d = 2;
    if (limit < 2)
        return TrialOutcome::NoDivisor;
    bool found = value % 2 == 0;
    if (!found)
        d = 3;
    if (++counter == kDivisionsParPointDeControle) {
        counter = 0;
        if (checkpoint(d))
            return TrialOutcome::Stopped;
    }
    while (!found && d <= limit) {
        // One block of odd divisors per checkpoint; value is odd here, so
        // the even numbers the kernel also covers never divide it.
        const quint64 room = kDivisionsParPointDeControle - counter;
        quint64 last = std::min(limit, d + 2 * (room - 1));
        if ((last - d) % 2 != 0)
            --last;
        const quint64 divisor = PremierDiviseur(value, d, last);
        if (divisor != 0) {
            found = true;
            counter += quint32((divisor - d) / 2 + 1);
            d = divisor;
        } else {
            counter += quint32((last - d) / 2 + 1);
            d = last + 2;
        }
        if (counter == kDivisionsParPointDeControle) {
            counter = 0;
            if (checkpoint(d))
                return TrialOutcome::Stopped;
        }
    }
    return found ? TrialOutcome::DivisorFound : TrialOutcome::NoDivisor;
}

// (temporary, sequential) the ordered search of the divisor among chunks.
#include <functional>
struct OrderedSearch {
    quint64 divisor = 0;
    bool stopped = false;
};
inline OrderedSearch PremierDiviseurEnOrdre(quint64 value, quint64 first, quint64 last,
                                            const std::function<quint64(quint64)> &chunkEnd,
                                            const std::function<bool(quint64)> &chunkDone)
{
    for (quint64 chunkFirst = first; chunkFirst <= last;) {
        const quint64 chunkLast = chunkEnd(chunkFirst);
        if (const quint64 d = PremierDiviseur(value, chunkFirst, chunkLast))
            return {d, false};
        if (chunkDone(chunkLast))
            return {0, true};
        if (chunkLast == last)
            break;
        chunkFirst = chunkLast + 1;
    }
    return {};
}
