// What a prime list will be before it starts: its primes, files, bytes on
// disk and duration, computed in at most about 0.2 s for any range.
#include "core/ListEstimate.h"

#include "core/Generation.h"
#include "core/PrimeCounting.h"
#include "core/PrimeText.h"

#include <primesieve.hpp>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Exact counts are worth this much time in all; past it, the logarithmic
// integral answers. Finding the primes at the ends and the calibration stay
// within the rest of the 0.2 s.
constexpr double kCountBudgetSeconds = 0.12;

constexpr quint64 kMax = std::numeric_limits<quint64>::max();

int Digits(quint64 v)
{
    int digits = 1;
    while (v >= 10) {
        v /= 10;
        ++digits;
    }
    return digits;
}

quint64 PowerOfTen(int d)
{
    quint64 p = 1;
    for (int i = 0; i < d; ++i)
        p *= 10;
    return p;
}

// Primes per digit count (index = digits), exact or estimated.
struct Tally {
    std::array<double, 21> byDigits{};
    bool exact = true;

    double Total() const
    {
        double total = 0;
        for (const double c : byDigits)
            total += c;
        return total;
    }
};

class Counter
{
public:
    // The primes of [low, high], decade by decade: exact while the budget
    // lasts, estimated beyond.
    Tally Count(quint64 low, quint64 high)
    {
        Tally tally;
        if (high < low)
            return tally;
        for (quint64 lo = low;;) {
            const int digits = Digits(lo);
            const quint64 end = digits < 20 ? PowerOfTen(digits) - 1 : kMax;
            const quint64 hi = std::min(high, end);
            const bool wholeDecade = digits <= 18 && lo == PowerOfTen(digits - 1) && hi == end;
            const double cost = PrimeCounting::ExpectedCountSeconds(lo, hi);
            if (wholeDecade) {
                tally.byDigits[std::size_t(digits)] += PrimeCounting::CountEstimate(lo, hi);
            } else if (cost <= budget_) {
                budget_ -= cost;
                tally.byDigits[std::size_t(digits)] += double(PrimeCounting::CountExact(lo, hi));
            } else {
                tally.byDigits[std::size_t(digits)] += PrimeCounting::CountEstimate(lo, hi);
                tally.exact = false;
            }
            if (hi == high)
                break;
            lo = hi + 1;
        }
        return tally;
    }

private:
    double budget_ = kCountBudgetSeconds;
};

// Bytes of a number line of that many digits, CR LF included.
quint64 LineBytes(int digits, const ListShape &shape)
{
    const int separators = shape.separators ? (digits - 1) / 3 : 0;
    return quint64(digits + separators * std::clamp(shape.numberSeparatorBytes, 0, 4) + 2);
}

// Bytes of the three header lines for a file whose name takes nameBytes.
quint64 HeaderBytes(quint64 nameBytes, quint64 count, const ListShape &shape)
{
    const int digits = Digits(count);
    const int separators = shape.separators ? (digits - 1) / 3 : 0;
    return nameBytes + 2 + quint64(std::max<qsizetype>(shape.countLabelBytes, 0))
           + quint64(digits + separators * std::max(shape.countSeparatorBytes, 0)) + 2 + 3;
}

// Sum of the lengths of FormaterChiffre(k) for k = 2..n.
quint64 CounterDigits(quint64 n)
{
    quint64 total = 0;
    for (int digits = 1; digits <= 19; ++digits) {
        const quint64 lo = std::max<quint64>(2, PowerOfTen(digits - 1));
        const quint64 hi = std::min<quint64>(n, digits < 19 ? PowerOfTen(digits) - 1 : kMax);
        if (hi >= lo)
            total += (hi - lo + 1) * quint64(std::max(2, digits));
    }
    return total;
}

// The machine's pace, measured once per process: libprimesieve's iterator
// over 10^7 numbers at 10^10 (as the generation takes its primes), and the
// formatting of number lines.
//
// Both are timed five times over short slices, and the fastest sets the
// pace. A machine busy with other work, or a virtual machine that its host
// holds still for tens of milliseconds, slows some slices and rarely all of
// them; timed in one piece, the sieve's few milliseconds could read four
// times longer, and so would the estimate.
struct Pace {
    double sievePerNumber = 1.5e-10;
    double formatPerLine = 2e-9;
};

// The shortest of five timings of work(i), for i from 0 to 4, in seconds;
// infinite when work never showed a result (it returns false then).
template <typename Work> double Fastest(Work work)
{
    double fastest = std::numeric_limits<double>::infinity();
    QElapsedTimer timer;
    for (int i = 0; i < 5; ++i) {
        timer.start();
        const bool done = work(i);
        const qint64 ns = timer.nsecsElapsed();
        if (done && ns > 0)
            fastest = std::min(fastest, double(ns) / 1e9);
    }
    return fastest;
}

const Pace &MeasuredPace()
{
    static Pace pace;
    static std::once_flag once;
    std::call_once(once, [] {
        constexpr quint64 kStart = 10'000'000'000ULL;
        constexpr quint64 kSlice = 2'000'000ULL;
        const double sieve = Fastest([](int slice) {
            const quint64 low = kStart + quint64(slice) * kSlice;
            primesieve::iterator it(low, low + kSlice);
            quint64 primes = 0;
            for (quint64 p = it.next_prime(); p <= low + kSlice; p = it.next_prime())
                ++primes;
            return primes > 0;
        });
        if (std::isfinite(sieve))
            pace.sievePerNumber = sieve / double(kSlice);
        // The lines are timed on primes in order, as a list writes them:
        // each copies what it shares with the line before. Their memory is
        // touched first: a page touched for the first time can cost more
        // than the lines written into it (10 µs in a virtual machine).
        constexpr std::size_t kLines = 100'000;
        std::vector<quint64> kept;
        kept.reserve(kLines);
        primesieve::iterator it(kStart, kStart + 5 * kSlice);
        while (kept.size() < kLines)
            kept.push_back(it.next_prime());
        const quint64 *const first = kept.data();
        const quint64 *const last = first + kept.size();
        std::vector<char> lines(PrimeText::LinesLength(first, last, 0));
        const double format = Fastest([&](int) {
            return PrimeText::Lines(first, last, lines.data(), nullptr, 0) != lines.data();
        });
        if (std::isfinite(format))
            pace.formatPerLine = format / double(kLines);
    });
    return pace;
}

// The thread that measures the pace ahead, joined when the process ends.
std::jthread &PaceThread()
{
    static std::jthread thread;
    return thread;
}

// How much slower sieving gets with the height of the numbers, relative to
// 10^10 (measured with libprimesieve on one thread, see bench_estimate).
double SieveSlowdown(quint64 high)
{
    static constexpr double kByDigits[] = {1,   1,   1,   1,   1,   1,   1,   1,    1,    1,   1,
                                           1.5, 2.0, 3.0, 4.5, 7.5, 12., 25., 55.0, 100., 100.};
    return kByDigits[std::min(Digits(high), 20)];
}

// Writing to the page cache, and creating and renaming each file.
constexpr double kSecondsPerByte = 0.5e-9;
constexpr double kSecondsPerFile = 3e-4;

// Bytes of the number lines of a list whose primes by digit count are
// `all`: every line grouped as the shape says, less the separators of the
// first number of each continuation file, which is written in plain digits.
// a is the list's first number, p its last prime, n its files.
double NumberLinesBytes(const Tally &all, quint64 a, quint64 p, quint64 n, const ListShape &shape)
{
    double lines = 0;
    for (int digits = 1; digits <= 20; ++digits)
        lines += all.byDigits[std::size_t(digits)] * double(LineBytes(digits, shape));

    // The first number of every continuation file is written in plain digits.
    if (shape.separators && n >= 2) {
        const auto sliceStart = [a](quint64 k) { return a + (k - 1) * kNumbersPerFile; };
        // Files 2..n whose slice starts below x.
        const auto startingBelow = [&](quint64 x) -> quint64 {
            if (x <= sliceStart(2))
                return 0;
            const quint64 sliceCount = (x - a - 1) / kNumbersPerFile; // k - 1 with s_k < x
            return std::min(sliceCount, n - 1);
        };
        quint64 previous = 0;
        for (int digits = 1; digits <= 20; ++digits) {
            const quint64 below = digits < 20 ? startingBelow(PowerOfTen(digits)) : n - 1;
            quint64 files = below - previous;
            previous = below;
            // The slice holding 10^digits may begin below it and still have
            // its first prime above it.
            if (digits < 20 && files > 0) {
                const quint64 bound = PowerOfTen(digits);
                const quint64 k = (bound - 1 - a) / kNumbersPerFile + 1;
                if (k >= 2 && k <= n && sliceStart(k) < bound) {
                    const quint64 sliceEnd = std::min(p, sliceStart(k) + (kNumbersPerFile - 1));
                    const std::optional<quint64> opening = PrimeCounting::SmallestPrimeIn(sliceStart(k), sliceEnd);
                    if (opening && *opening >= bound) {
                        --files;
                        lines -= double((Digits(*opening) - 1) / 3 * std::clamp(shape.numberSeparatorBytes, 0, 4));
                    }
                }
            }
            lines -= double(files) * double((digits - 1) / 3 * std::clamp(shape.numberSeparatorBytes, 0, 4));
        }
    }
    return lines;
}

// Bytes of the headers of the n files of a list from a to its last prime p,
// `primes` in all. File 1 and file n hold what their part of the range
// holds, every full slice between them from 22 000 to 78 498 primes, so
// five digits.
quint64 HeadersBytes(Counter &counter, quint64 a, quint64 p, quint64 n, quint64 primes, const ListShape &shape)
{
    const quint64 firstEnd = std::min(p, a + (kNumbersPerFile - 1));
    const quint64 firstCount = n == 1 ? primes : quint64(std::llround(counter.Count(a, firstEnd).Total()));
    quint64 headers = HeaderBytes(quint64(shape.firstNameBytes), firstCount, shape);
    if (n >= 2) {
        const quint64 lastStart = a + (n - 1) * kNumbersPerFile;
        const quint64 lastCount = quint64(std::llround(counter.Count(lastStart, p).Total()));
        const quint64 names = (n - 1) * quint64(shape.baseNameBytes + 4) + CounterDigits(n);
        headers += names + (n - 2) * HeaderBytes(0, 10000, shape) + HeaderBytes(0, lastCount, shape);
    }
    return headers;
}

// The expected duration of a list from a to last, with the estimate's
// primes, bytes and files, at this machine's pace.
double ListSeconds(quint64 a, quint64 last, const ListEstimate &estimate)
{
    const Pace &pace = MeasuredPace();
    const double span = double(last - a + 1);
    return span * pace.sievePerNumber * SieveSlowdown(last) + double(estimate.primes) * pace.formatPerLine
           + double(estimate.bytes) * kSecondsPerByte + double(quint64(estimate.files)) * kSecondsPerFile;
}

} // namespace

void MeasurePaceAhead()
{
    static std::once_flag started;
    std::call_once(started, [] {
        // An estimate asked for meanwhile waits in MeasuredPace for the end.
        PaceThread() = std::jthread([] { MeasuredPace(); });
        // Joined with the application object, while the libraries it uses
        // are still whole, even if the process ends within milliseconds.
        if (QCoreApplication::instance())
            qAddPostRoutine([] { PaceThread() = std::jthread(); });
    });
}

ListEstimate EstimateList(qint64 first, qint64 last, const ListShape &shape)
{
    ListEstimate estimate;
    const quint64 a = quint64(std::max<qint64>(first, 2));
    const std::optional<quint64> lastPrime =
        last >= qint64(a) ? PrimeCounting::LargestPrimeIn(a, quint64(last)) : std::nullopt;
    if (!lastPrime) {
        // One file holding its header alone.
        estimate.bytes = HeaderBytes(quint64(shape.firstNameBytes), 0, shape);
        return estimate;
    }
    const quint64 p = *lastPrime;
    const quint64 n = (p - a) / kNumbersPerFile + 1;
    estimate.files = qint64(n);

    // Up to last rather than p (the same primes): a range ending on a power
    // of ten then covers whole decades, whose counts are known.
    Counter counter;
    const Tally all = counter.Count(a, quint64(last));
    estimate.exact = all.exact;
    estimate.primes = quint64(std::llround(all.Total()));
    const double lines = NumberLinesBytes(all, a, p, n, shape);
    estimate.bytes = HeadersBytes(counter, a, p, n, estimate.primes, shape) + quint64(std::llround(lines));
    estimate.seconds = ListSeconds(a, quint64(last), estimate);
    return estimate;
}
