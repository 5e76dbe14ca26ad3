// Counting primes without listing them: a deterministic primality test for
// 64-bit numbers, exact counts from libprimesieve or primecount, and the
// prime-counting estimate from the logarithmic integral.
#include "core/PrimeCounting.h"

#include <primecount.hpp>
#include <primesieve.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

__extension__ typedef unsigned __int128 UInt128;

namespace PrimeCounting {

namespace {

// pi(10^d), d = 0..18.
constexpr std::array<quint64, 19> kPiPowersOfTen = {
    0ULL,
    4ULL,
    25ULL,
    168ULL,
    1229ULL,
    9592ULL,
    78498ULL,
    664579ULL,
    5761455ULL,
    50847534ULL,
    455052511ULL,
    4118054813ULL,
    37607912018ULL,
    346065536839ULL,
    3204941750802ULL,
    29844570422669ULL,
    279238341033925ULL,
    2623557157654233ULL,
    24739954287740860ULL,
};

constexpr quint64 kPowersOfTen[] = {1ULL,
                                    10ULL,
                                    100ULL,
                                    1000ULL,
                                    10000ULL,
                                    100000ULL,
                                    1000000ULL,
                                    10000000ULL,
                                    100000000ULL,
                                    1000000000ULL,
                                    10000000000ULL,
                                    100000000000ULL,
                                    1000000000000ULL,
                                    10000000000000ULL,
                                    100000000000000ULL,
                                    1000000000000000ULL,
                                    10000000000000000ULL,
                                    100000000000000000ULL,
                                    1000000000000000000ULL,
                                    10000000000000000000ULL};

quint64 MulMod(quint64 a, quint64 b, quint64 m)
{
    return quint64(UInt128(a) * b % m);
}

quint64 PowMod(quint64 base, quint64 exponent, quint64 m)
{
    quint64 result = 1;
    base %= m;
    while (exponent > 0) {
        if (exponent & 1)
            result = MulMod(result, base, m);
        base = MulMod(base, base, m);
        exponent >>= 1;
    }
    return result;
}

constexpr unsigned kSmallPrimes[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47, 53, 59, 61, 67, 71, 73, 79, 83, 89, 97};

// The digit count of v minus one: v is in [10^d, 10^(d+1)).
int Decade(quint64 v)
{
    int d = 0;
    while (d < 19 && v >= kPowersOfTen[d + 1])
        ++d;
    return d;
}

// pi(x) exactly: from the table when x + 1 is a power of ten (10^d itself is
// never prime), from primecount otherwise.
quint64 Pi(quint64 x)
{
    if (x < 2)
        return 0;
    const int d = Decade(x + 1);
    if (d <= 18 && x + 1 == kPowersOfTen[d])
        return kPiPowersOfTen[std::size_t(d)];
    return quint64(primecount::pi(qint64(x)));
}

// Seconds primecount takes for pi(x): about x^(2/3), 0.07 s at 10^12 on the
// benchmark machine (AMD EPYC, one thread).
double PiSeconds(quint64 x)
{
    if (x < 1'000'000)
        return 0;
    const int d = Decade(x + 1);
    if (d <= 18 && x + 1 == kPowersOfTen[d])
        return 0;
    return 0.07 * std::pow(double(x) / 1e12, 0.67);
}

// Seconds libprimesieve takes per number sieved, by decade of the range's
// top: sieving primes grow past the cache high up.
double SieveSecondsPerNumber(quint64 high)
{
    static constexpr double kPerDecade[] = {1.3e-10, 1.3e-10, 1.3e-10, 1.3e-10, 1.3e-10, 1.3e-10, 1.3e-10,
                                            1.3e-10, 1.3e-10, 1.3e-10, 2e-10,   3e-10,   4e-10,   6e-10,
                                            9e-10,   1.5e-9,  2.5e-9,  5e-9,    1.1e-8,  2e-8};
    return kPerDecade[Decade(high)];
}

// The sieving primes up to sqrt(high) come first, whatever the range.
double SieveSeconds(quint64 low, quint64 high)
{
    return 6.5e-10 * std::sqrt(double(high)) + double(high - low) * SieveSecondsPerNumber(high) + 1e-4;
}

// Testing each number of a short range one by one: most fall to a small
// divisor, the rest cost a few modular powers.
constexpr double kTestSecondsPerNumber = 4e-7;

// The ways to count a range exactly.
enum class CountWay { Tests, Sieve, Pi };

struct CountPlan {
    CountWay way;
    double seconds;
};

// The way that costs least for [low, high], low <= high, and its cost:
// each number tested, the range sieved, or pi at both ends of the range.
CountPlan CheapestCount(quint64 low, quint64 high)
{
    const double tests = double(high - low) * kTestSecondsPerNumber;
    const double sieve = SieveSeconds(low, high);
    const double pi = PiSeconds(high) + (low > 0 ? PiSeconds(low - 1) : 0);
    if (tests <= sieve && tests <= pi)
        return {CountWay::Tests, tests};
    if (sieve <= pi)
        return {CountWay::Sieve, sieve};
    return {CountWay::Pi, pi};
}

bool HasSmallDivisor(quint64 n)
{
    for (const unsigned p : kSmallPrimes)
        if (n % p == 0)
            return n != p;
    return false;
}

quint64 CountByTests(quint64 low, quint64 high)
{
    quint64 count = 0;
    for (quint64 n = low;; ++n) {
        if (IsPrime(n))
            ++count;
        if (n == high)
            break;
    }
    return count;
}

// The integral of 1 / ln t over [a, b], 1 < a <= b: eight-point
// Gauss-Legendre on pieces of equal ratio, far more precise than the
// estimate it serves.
long double LogIntegral(long double a, long double b)
{
    static constexpr long double kNodes[] = {0.1834346424956498049L, 0.5255324099163289858L, 0.7966664774136267396L,
                                             0.9602898564975362317L};
    static constexpr long double kWeights[] = {0.3626837833783619830L, 0.3137066458778872873L, 0.2223810344533744706L,
                                               0.1012285362903762591L};
    if (b <= a)
        return 0;
    const int pieces = 16;
    const long double ratio = std::pow(b / a, 1.0L / pieces);
    long double sum = 0;
    long double left = a;
    for (int i = 0; i < pieces; ++i) {
        const long double right = i == pieces - 1 ? b : left * ratio;
        const long double mid = (left + right) / 2;
        const long double half = (right - left) / 2;
        for (int j = 0; j < 4; ++j) {
            sum += kWeights[j] * half / std::log(mid - half * kNodes[j]);
            sum += kWeights[j] * half / std::log(mid + half * kNodes[j]);
        }
        left = right;
    }
    return sum;
}

// R(b) - R(a) from the first terms of Riemann's R function (the later ones
// change nothing at double precision for the ranges estimated).
double RDifference(long double a, long double b)
{
    long double result = LogIntegral(a, b);
    for (const auto &[n, mu] : {std::pair{2, -1}, std::pair{3, -1}, std::pair{5, -1}}) {
        const long double ra = std::pow(a, 1.0L / n);
        const long double rb = std::pow(b, 1.0L / n);
        if (ra > 2)
            result += mu * LogIntegral(ra, rb) / n;
    }
    return double(result);
}

} // namespace

bool IsPrime(quint64 n)
{
    if (n < 2)
        return false;
    for (const unsigned p : kSmallPrimes) {
        if (n % p == 0)
            return n == p;
    }
    if (n < 97 * 97)
        return true;
    quint64 d = n - 1;
    int s = 0;
    while ((d & 1) == 0) {
        d >>= 1;
        ++s;
    }
    // These twelve bases decide every n below 3.3 * 10^24.
    for (const quint64 a : {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37}) {
        quint64 x = PowMod(a, d, n);
        if (x == 1 || x == n - 1)
            continue;
        bool composite = true;
        for (int r = 1; r < s; ++r) {
            x = MulMod(x, x, n);
            if (x == n - 1) {
                composite = false;
                break;
            }
        }
        if (composite)
            return false;
    }
    return true;
}

std::optional<quint64> LargestPrimeIn(quint64 low, quint64 high)
{
    if (high < low)
        return std::nullopt;
    for (quint64 n = high;; --n) {
        if (!HasSmallDivisor(n) && IsPrime(n))
            return n;
        if (n == low)
            return std::nullopt;
    }
}

std::optional<quint64> SmallestPrimeIn(quint64 low, quint64 high)
{
    if (high < low)
        return std::nullopt;
    for (quint64 n = low;; ++n) {
        if (!HasSmallDivisor(n) && IsPrime(n))
            return n;
        if (n == high)
            return std::nullopt;
    }
}

double ExpectedCountSeconds(quint64 low, quint64 high)
{
    if (high < low)
        return 0;
    return CheapestCount(low, high).seconds;
}

quint64 CountExact(quint64 low, quint64 high)
{
    if (high < low)
        return 0;
    switch (CheapestCount(low, high).way) {
    case CountWay::Tests:
        return CountByTests(low, high);
    case CountWay::Sieve:
        return quint64(primesieve::count_primes(low, high));
    case CountWay::Pi:
        break;
    }
    return Pi(high) - (low > 0 ? Pi(low - 1) : 0);
}

double CountEstimate(quint64 low, quint64 high)
{
    low = std::max<quint64>(low, 2);
    if (high < low)
        return 0;
    double count = 0;
    // Decade by decade: a whole decade is known exactly, a part of one is
    // the integral over that part.
    for (quint64 lo = low;;) {
        const int d = Decade(lo);
        const quint64 decadeEnd = d < 19 ? kPowersOfTen[d + 1] - 1 : std::numeric_limits<quint64>::max();
        const quint64 hi = std::min(high, decadeEnd);
        if (d < 18 && lo == kPowersOfTen[d] && hi == decadeEnd)
            count += double(kPiPowersOfTen[std::size_t(d) + 1] - kPiPowersOfTen[std::size_t(d)]);
        else if (hi < 100'000)
            count += double(CountByTests(lo, hi));
        else
            count += RDifference((long double)lo, (long double)hi + 1);
        if (hi == high)
            break;
        lo = hi + 1;
    }
    return count;
}

std::optional<quint64> PiOfPowerOfTen(int d)
{
    if (d < 0 || d > 18)
        return std::nullopt;
    return kPiPowersOfTen[std::size_t(d)];
}

} // namespace PrimeCounting
