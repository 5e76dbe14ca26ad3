// Primality verification by trial division: an engine that knows nothing
// of the window; it reports its checkpoints and returns the verdict.
#pragma once

#include <QtGlobal>

#include <functional>

class StopToken;

// A checkpoint of the verification: every 100 000 trial divisions.
struct VerificationCheckpoint {
    // The divisor the search tries next.
    quint64 nextDivisor = 0;
    qint64 elapsedMs = 0;
};

struct VerificationResult {
    qint64 n = 0;
    bool stopped = false;
    bool prime = false;
    // The smallest divisor above 1 below the number, or 0 when there is
    // none (primes, 0 and 1).
    quint64 smallestDivisor = 0;
    qint64 elapsedMs = 0;
};

using VerificationProgress = std::function<void(const VerificationCheckpoint &)>;

// Tests n by 2 and the odd numbers up to the square root of n + 1. After
// each checkpoint is reported, `stop` decides whether the run ends there.
// A number below -1 raises CommandError before anything is reported.
VerificationResult Verify(qint64 n, StopToken &stop, const VerificationProgress &progress);

// The bar's position at a checkpoint of the verification of n.
qint64 VerificationPosition(qint64 n, quint64 nextDivisor);
