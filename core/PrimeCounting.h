// Counting primes without listing them: a deterministic primality test for
// 64-bit numbers, exact counts from libprimesieve or primecount, and the
// prime-counting estimate from the logarithmic integral.
#pragma once

#include <QtGlobal>

#include <optional>

namespace PrimeCounting {

// True when n is prime; exact for every 64-bit number (Miller-Rabin with
// the first twelve primes as bases).
bool IsPrime(quint64 n);

// The largest prime in [low, high], if there is one.
std::optional<quint64> LargestPrimeIn(quint64 low, quint64 high);
// The smallest prime in [low, high], if there is one.
std::optional<quint64> SmallestPrimeIn(quint64 low, quint64 high);

// The number of primes in [low, high], exact, by whichever of libprimesieve
// (short ranges, narrow windows high up) and primecount (long ranges from
// low numbers) costs less; may take long for wide ranges high up.
quint64 CountExact(quint64 low, quint64 high);

// What CountExact is expected to cost, in seconds, on a machine like the
// one the constants were measured on (see bench_estimate).
double ExpectedCountSeconds(quint64 low, quint64 high);

// The number of primes in [low, high] as the logarithmic integral gives it,
// with the first terms of Riemann's R function; anchored on the exact
// counts at powers of ten, so a range covering whole decades is exact.
double CountEstimate(quint64 low, quint64 high);

// pi(10^d) for d = 0..19 where known exactly (d <= 18), else no value.
std::optional<quint64> PiOfPowerOfTen(int d);

} // namespace PrimeCounting
