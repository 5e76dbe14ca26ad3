// Factorisation into prime powers by trial division: an engine that knows
// nothing of the window; it reports each prime power as soon as it is
// known, and its progress as the count of divisors tried.
#pragma once

#include <QList>
#include <QtGlobal>

#include <functional>

class StopToken;

// Divisors tried per step of the progress bar, and the count after which
// the count restarts (the elapsed time is shown then).
constexpr quint32 kDivisorsPerStep = 100'000;
constexpr quint32 kDivisorsPerLap = 10'000'000;

struct PrimePower {
    quint64 prime = 0;
    quint32 exponent = 0;
    bool operator==(const PrimePower &) const = default;
};

// The progress after a divisor was counted: whenever the bar's position
// would change, and at the end of each lap of the counter.
struct FactorisationProgress {
    // The count of divisors tried in this lap, 1 to kDivisorsPerLap + 1.
    quint32 counter = 0;
    // The lap ended with this count; the counter starts again from 0.
    bool lapEnded = false;
    qint64 elapsedMs = 0;
};

struct FactorisationEvents {
    // A prime divided out of the number, with its multiplicity.
    std::function<void(const PrimePower &)> factor;
    std::function<void(const FactorisationProgress &)> progress;
};

struct FactorisationResult {
    qint64 n = 0;
    bool stopped = false;
    // The prime powers divided out, in increasing order, as reported.
    QList<PrimePower> factors;
    // What is left once no divisor up to its square root divides it: a
    // prime above 1, or 0 or 1 when nothing is left.
    quint64 cofactor = 0;
    qint64 elapsedMs = 0;

    // A prime is its own one factor.
    bool Prime() const { return factors.isEmpty() && cofactor > 1; }
};

// Factorises n. `stop` is consulted before the search, at every progress
// report and after every prime power. A negative number raises
// CommandError before anything is reported.
FactorisationResult Factorise(qint64 n, StopToken &stop, const FactorisationEvents &events);

// The bar's position for a count of the factorisation.
qint64 FactorisationPosition(quint32 counter);
