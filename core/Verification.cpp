// Primality verification by trial division: an engine that knows nothing
// of the window; it reports its checkpoints and returns the verdict.
#include "core/Verification.h"

#include "core/Arithmetic.h"
#include "core/CommandError.h"
#include "core/StopToken.h"
#include "core/TrialKernel.h"

#include <QElapsedTimer>

namespace {

// The bound is the square root of n + 1, which does not exist below -1.
quint64 PlusOne(qint64 n)
{
    if (n < -1)
        throw CommandError::InvalidFloatOperation();
    return quint64(n) + 1u; // n >= -1: no wrap beyond 0
}

} // namespace

qint64 VerificationPosition(qint64 n, quint64 nextDivisor)
{
    const quint64 step = RoundSqrtOverHundred(PlusOne(n)) + 1;
    return qint64(RoundHalfEven(nextDivisor, step));
}

VerificationResult Verify(qint64 n, StopToken &stop, const VerificationProgress &progress)
{
    QElapsedTimer clock;
    clock.start();
    VerificationResult result;
    result.n = n;
    // Trying d while d <= sqrt(n + 1) lets the root of a square be tried.
    const quint64 bound = ISqrt(PlusOne(n));

    // 2 has no divisor to try: the bound, the root of 3, is below 2.
    if (n >= 2) {
        quint32 counter = 0;
        quint64 d = 2;
        const TrialOutcome outcome = TrialDivide(quint64(n), bound, counter, d, [&](quint64 next) {
            progress({next, clock.elapsed()});
            return stop.Checkpoint();
        });
        result.stopped = outcome == TrialOutcome::Stopped;
        if (outcome == TrialOutcome::DivisorFound)
            result.smallestDivisor = d;
        result.prime = outcome == TrialOutcome::NoDivisor;
    }
    result.elapsedMs = clock.elapsed();
    return result;
}
