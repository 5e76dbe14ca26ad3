// Primes of any size through FLINT: a proven verdict, the factorisation
// into prime powers, the next and the previous prime. Each function runs
// to its end; a stop ends the process (see BackgroundWork).
#pragma once

#include "cli/BigNumber.h"

#include <QList>

#include <atomic>

namespace BigPrimes {

// Whether n is prime, proven: FLINT's probable-prime test settles composite
// numbers, and a prime is proven by Pocklington, Morrison or APR-CL.
bool IsPrime(const BigNumber &n);

struct Power {
    BigNumber prime;
    quint32 exponent = 0;
};

// What a factorisation has done so far, for the progress line.
struct FactorisationState {
    std::atomic<int> factorsFound{0};
    std::atomic<int> digitsLeft{0};
};

// The prime powers of n > 1, primes increasing, each prime proven.
QList<Power> Factorise(const BigNumber &n, FactorisationState &state);

// The smallest prime above n, and the largest prime below n > 2, proven.
BigNumber NextPrime(const BigNumber &n);
BigNumber PreviousPrime(const BigNumber &n);

} // namespace BigPrimes
