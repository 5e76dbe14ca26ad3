// The inner loop of verification and factorisation: the smallest divisor of
// a number in a range of trial divisors, tested many at once with SIMD.
#include "core/TrialKernel.h"

#include "core/HelperPool.h"
#include "core/OrderedSearch.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <limits>
#include <memory>
#include <thread>
#include <utility>

#if defined(__x86_64__)
#include <immintrin.h>
#define TAVORINE_KERNEL_X86 1
#endif

namespace {

// The divisors tested are the integers prime to 2 * 3 * 5 * 7: 48 residues
// in every 210 consecutive integers.
constexpr quint64 kWheel = 210;
constexpr int kSpokes = 48;

constexpr std::array<qint64, kSpokes> MakeSpokes()
{
    std::array<qint64, kSpokes> spokes{};
    int k = 0;
    for (qint64 r = 1; r < qint64(kWheel); ++r)
        if (r % 2 != 0 && r % 3 != 0 && r % 5 != 0 && r % 7 != 0)
            spokes[std::size_t(k++)] = r;
    return spokes;
}

alignas(64) constexpr std::array<qint64, kSpokes> kSpokeOffsets = MakeSpokes();

constexpr std::array<double, kSpokes> MakeSpokesAsDoubles()
{
    std::array<double, kSpokes> spokes{};
    for (std::size_t i = 0; i < spokes.size(); ++i)
        spokes[i] = double(kSpokeOffsets[i]);
    return spokes;
}

alignas(64) constexpr std::array<double, kSpokes> kSpokeDoubles = MakeSpokesAsDoubles();

// The SIMD paths take divisors from here on (a multiple of 210, at least
// 2^15, which their exactness needs); the few below it go the scalar way.
constexpr quint64 kVectorFrom = 157 * kWheel;
static_assert(kVectorFrom >= (quint64(1) << 15));

quint64 ScalarRange(quint64 value, quint64 first, quint64 last)
{
    quint64 d = first;
    // Below the first wheel turn every integer is tried: there are few,
    // and 2, 3, 5 and 7 must be among them.
    for (; d <= last && d < kWheel; ++d)
        if (value % d == 0)
            return d;
    if (d > last)
        return 0;
    for (quint64 base = d - d % kWheel;; base += kWheel) {
        for (const qint64 spoke : kSpokeOffsets) {
            const quint64 candidate = base + quint64(spoke);
            if (candidate < d)
                continue;
            if (candidate > last)
                return 0;
            if (value % candidate == 0)
                return candidate;
        }
    }
}

#ifdef TAVORINE_KERNEL_X86

// Exactness of the SIMD test, for value = v < 2^63 and 2^15 <= d < 2^32,
// without any division.
//
// Every lane holds d exactly as a double, and x0, an approximation of 1/d
// from the processor's reciprocal estimate, with e = 1 - d * x0 small. As
// 1/d = x0 / (1 - e) = x0 * (1 + e + e^2 + e^3 + e^4 / (1 - e)), the
// quotient is estimated, with s = e + e^2 + e^3 and N = fl(v), as
//     q = fl(fl(N * x0 - 1/4) * (1 + s)),
// two fused multiply-adds. Given |e| <= 2^-14 (see each path), and any
// rounding mode (each rounding costs at most one unit in the last place,
// 2^-52 relative), with v / d < 2^48:
//   - dropping e^4 / (1 - e) < 2^-55.9 and rounding N (2^-52) and s
//     (2^-64) move v/d by less than 2^48 * 2^-51.8 < 0.072;
//   - rounding N * x0 - 1/4 and the final product, each below 2^49 where
//     a unit in the last place is 2^-4, adds less than 2 * 2^-4 = 0.125,
//     and 1/4 * s less than 2^-16.
// So |q - (v/d - 1/4)| < 0.2 < 1/4, and with Q = floor(v/d), f = v/d - Q,
// q lies in (Q + f - 1/2, Q + f): floor(q) is Q - 1 or Q, never anything
// else, however close v/d comes to an integer (q < 2^49, so floor(q) is an
// exact integer as a double).
//
// Short quotients need fewer terms. When v/d < 2^39, which holds for every
// d of a range when v < first * 2^39, s = e + e^2 suffices: dropping
// e^3 / (1 - e) < 2^-41.99 and rounding N move v/d by less than
// 2^39 * 2^-41.98 < 0.127, the roundings of N * x0 - 1/4 and of the product
// (below 2^40) add less than 2 * 2^-13, so again |q - (v/d - 1/4)| < 0.2.
// This covers nearly every divisor of a long search: they are close to the
// square root of v.
//
// The remainder r = v - floor(q) * d then lies in [0, 2d) and is computed
// exactly in double precision: with v = N + L (L = v - N an integer,
// |L| < 2^10), the fused multiply-add N - floor(q) * d has an integer exact
// value of magnitude below 2d + 2^10 < 2^34, so it is exact, and adding L
// keeps it exact. d divides v exactly when r is 0 or d.

// v < first * 2^39: the quotients of the range are short.
bool ShortQuotients(quint64 value, quint64 first)
{
    return (value >> 39) < first;
}

// AVX-512: 8 divisors per vector; vrcp14pd gives x0 with |e| < 2^-14.
template <bool kShort>
__attribute__((target("avx512f"))) quint64 Avx512Range(quint64 value, quint64 first, quint64 last)
{
    const double high = double(value);
    const __m512d n = _mm512_set1_pd(high);
    const __m512d low = _mm512_set1_pd(double(qint64(value - quint64(high))));
    const __m512d one = _mm512_set1_pd(1.0);
    const __m512d quarter = _mm512_set1_pd(-0.25);
    const __m512d zero = _mm512_setzero_pd();
    const __m512d lowest = _mm512_set1_pd(double(first));
    const __m512d highest = _mm512_set1_pd(double(last));
    // The zero-masked forms with every lane kept: GCC 12 warns that the
    // plain ones read an undefined vector.
    const __mmask8 all = 0xFF;
    for (quint64 base = first - first % kWheel; base <= last; base += kWheel) {
        const __m512d baseDouble = _mm512_set1_pd(double(base));
        for (int i = 0; i < kSpokes; i += 8) {
            const __m512d d = _mm512_add_pd(baseDouble, _mm512_load_pd(kSpokeDoubles.data() + i));
            const __m512d x0 = _mm512_maskz_rcp14_pd(all, d);
            const __m512d e = _mm512_fnmadd_pd(d, x0, one);
            const __m512d s = kShort ? _mm512_fmadd_pd(e, e, e) : _mm512_fmadd_pd(e, _mm512_fmadd_pd(e, e, e), e);
            const __m512d y = _mm512_fmadd_pd(n, x0, quarter);
            const __m512d q = _mm512_maskz_roundscale_pd(all, _mm512_fmadd_pd(y, s, y), _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
            const __m512d r = _mm512_add_pd(_mm512_fnmadd_pd(q, d, n), low);
            __mmask8 hits = _mm512_cmp_pd_mask(r, zero, _CMP_EQ_OQ) | _mm512_cmp_pd_mask(r, d, _CMP_EQ_OQ);
            if (hits == 0)
                continue;
            // Divisors are rare: the range is only looked at when one shows.
            hits &= _mm512_cmp_pd_mask(d, lowest, _CMP_GE_OQ) & _mm512_cmp_pd_mask(d, highest, _CMP_LE_OQ);
            if (hits != 0)
                return base + quint64(kSpokeOffsets[std::size_t(i + __builtin_ctz(hits))]);
        }
    }
    return 0;
}

// AVX2: 4 divisors per vector. The estimate comes from rcpps on d rounded
// to single precision: |1 - d * x| <= 1.5 * 2^-12 + 2^-24 < 2^-11. One
// Newton step x0 = x + x * (1 - d * x) squares it, to below 2^-22 + 2^-52,
// well inside the 2^-14 the argument above needs (a seed within 2^-7
// would still do). So fewer terms suffice: s = e + e^2 drops less than
// e^3 / (1 - e) < 2^-65.9, and for short quotients s = e drops less than
// e^2 / (1 - e) < 2^-43.9, which moves v/d < 2^39 by less than 2^-4.9.
template <bool kShort>
__attribute__((target("avx2,fma"))) quint64 Avx2Range(quint64 value, quint64 first, quint64 last)
{
    const double high = double(value);
    const __m256d n = _mm256_set1_pd(high);
    const __m256d low = _mm256_set1_pd(double(qint64(value - quint64(high))));
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d quarter = _mm256_set1_pd(-0.25);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d lowest = _mm256_set1_pd(double(first));
    const __m256d highest = _mm256_set1_pd(double(last));
    for (quint64 base = first - first % kWheel; base <= last; base += kWheel) {
        const __m256d baseDouble = _mm256_set1_pd(double(base));
        for (int i = 0; i < kSpokes; i += 4) {
            const __m256d d = _mm256_add_pd(baseDouble, _mm256_load_pd(kSpokeDoubles.data() + i));
            const __m256d seed = _mm256_cvtps_pd(_mm_rcp_ps(_mm256_cvtpd_ps(d)));
            const __m256d x0 = _mm256_fmadd_pd(seed, _mm256_fnmadd_pd(d, seed, one), seed);
            const __m256d e = _mm256_fnmadd_pd(d, x0, one);
            const __m256d s = kShort ? e : _mm256_fmadd_pd(e, e, e);
            const __m256d y = _mm256_fmadd_pd(n, x0, quarter);
            const __m256d q = _mm256_floor_pd(_mm256_fmadd_pd(y, s, y));
            const __m256d r = _mm256_add_pd(_mm256_fnmadd_pd(q, d, n), low);
            const __m256d divides = _mm256_or_pd(_mm256_cmp_pd(r, zero, _CMP_EQ_OQ), _mm256_cmp_pd(r, d, _CMP_EQ_OQ));
            if (_mm256_testz_pd(divides, divides))
                continue;
            const __m256d inRange = _mm256_and_pd(_mm256_cmp_pd(d, lowest, _CMP_GE_OQ), _mm256_cmp_pd(d, highest, _CMP_LE_OQ));
            const int hits = _mm256_movemask_pd(_mm256_and_pd(inRange, divides));
            if (hits != 0)
                return base + quint64(kSpokeOffsets[std::size_t(i + __builtin_ctz(unsigned(hits)))]);
        }
    }
    return 0;
}

#endif

bool Available(KernelPath path)
{
#ifdef TAVORINE_KERNEL_X86
    __builtin_cpu_init();
    switch (path) {
    case KernelPath::Scalar:
        return true;
    case KernelPath::Avx2:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case KernelPath::Avx512:
        return __builtin_cpu_supports("avx512f");
    }
    return false;
#else
    return path == KernelPath::Scalar;
#endif
}

// Read by every thread that divides, set by tests and benchmarks between
// searches.
std::atomic<KernelPath> &PathInUse()
{
    static std::atomic<KernelPath> path{AvailableKernelPaths().last()};
    return path;
}

std::atomic<int> gDivisionThreads{0};

quint64 RangeOnPath(KernelPath path, quint64 value, quint64 first, quint64 last)
{
    if (first > last)
        return 0;
    // The SIMD paths are exact for numbers below 2^63 and divisors below
    // 2^32, which covers every square-root bound of a signed 64-bit number.
    if (path == KernelPath::Scalar || value > quint64(std::numeric_limits<qint64>::max())
        || last > std::numeric_limits<quint32>::max())
        return ScalarRange(value, first, last);
    if (first < kVectorFrom) {
        const quint64 found = ScalarRange(value, first, std::min(last, kVectorFrom - 1));
        if (found != 0 || last < kVectorFrom)
            return found;
        first = kVectorFrom;
    }
#ifdef TAVORINE_KERNEL_X86
    const bool shortQuotients = ShortQuotients(value, first);
    if (path == KernelPath::Avx512)
        return shortQuotients ? Avx512Range<true>(value, first, last) : Avx512Range<false>(value, first, last);
    return shortQuotients ? Avx2Range<true>(value, first, last) : Avx2Range<false>(value, first, last);
#else
    return ScalarRange(value, first, last);
#endif
}

HelperPool &Helpers()
{
    static HelperPool pool;
    return pool;
}

// Below this many integers left, a search goes on alone: waking a helper
// would cost about as much as the work it would take.
constexpr quint64 kSharedFrom = quint64(1) << 20;
// How many chunks each thread may be ahead of the last chunkDone.
constexpr std::size_t kChunksAheadPerThread = 3;


} // namespace

QList<KernelPath> AvailableKernelPaths()
{
    QList<KernelPath> paths;
    for (const KernelPath path : {KernelPath::Scalar, KernelPath::Avx2, KernelPath::Avx512})
        if (Available(path))
            paths << path;
    return paths;
}

KernelPath CurrentKernelPath()
{
    return PathInUse();
}

bool UseKernelPath(KernelPath path)
{
    if (!Available(path))
        return false;
    PathInUse() = path;
    return true;
}

const char *KernelPathName(KernelPath path)
{
    switch (path) {
    case KernelPath::Scalar:
        return "scalar";
    case KernelPath::Avx2:
        return "AVX2";
    case KernelPath::Avx512:
        return "AVX-512 (F)";
    }
    return "?";
}

quint64 SmallestDivisor(quint64 value, quint64 first, quint64 last)
{
    Q_ASSERT(first >= 2);
    return RangeOnPath(PathInUse(), value, first, last);
}

int DivisionThreads()
{
    const int threads = gDivisionThreads.load(std::memory_order_relaxed);
    if (threads > 0)
        return threads;
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

void UseDivisionThreads(int threads)
{
    gDivisionThreads.store(std::max(threads, 0), std::memory_order_relaxed);
}

DivisorSearch SmallestDivisorInOrder(quint64 value, quint64 first, quint64 last,
                                     const std::function<quint64(quint64)> &chunkEnd,
                                     const std::function<bool(quint64)> &chunkDone)
{
    Q_ASSERT(first >= 2);
    const KernelPath path = PathInUse();
    const int threads = DivisionThreads();
    // The first chunks run here alone, as long as what is left is small.
    while (first <= last) {
        if (threads > 1 && last - first >= kSharedFrom)
            break;
        const quint64 chunkLast = std::clamp(chunkEnd(first), first, last);
        const quint64 divisor = RangeOnPath(path, value, first, chunkLast);
        if (divisor != 0)
            return {divisor, false};
        const bool stop = chunkDone(chunkLast);
        if (stop || chunkLast == last)
            return {0, stop};
        first = chunkLast + 1;
    }
    if (first > last)
        return {0, false};
    const auto search = std::make_shared<OrderedSearch>(
        [path, value](quint64 chunkFirst, quint64 chunkLast) { return RangeOnPath(path, value, chunkFirst, chunkLast); },
        first, last, chunkEnd, kChunksAheadPerThread * std::size_t(threads));
    Helpers().Offer(search, threads - 1);
    const DivisorSearch result = search->Run(chunkDone);
    Helpers().Withdraw(search);
    return result;
}

TrialOutcome TrialDivideInOrder(quint64 value, quint64 limit, quint32 &counter, quint64 &d,
                                     const std::function<bool(quint64)> &checkpoint)
{
    // Counts the divisions just made, d being the divisor the loop would
    // try next (or the one found); true when the checkpoint they bring
    // asks to stop.
    const auto counted = [&](quint64 divisions) {
        counter += quint32(divisions);
        if (counter != kDivisionsPerCheckpoint)
            return false;
        counter = 0;
        return checkpoint(d);
    };
    d = 2;
    if (limit < 2)
        return TrialOutcome::NoDivisor;
    if (value % 2 == 0)
        return counted(1) ? TrialOutcome::Stopped : TrialOutcome::DivisorFound;
    d = 3;
    if (counted(1))
        return TrialOutcome::Stopped;
    if (d > limit)
        return TrialOutcome::NoDivisor;
    // The odd divisors 3, 5, ... up to the last odd one <= limit, one chunk
    // per checkpoint. value is odd, so the even numbers the kernel also
    // covers never divide it. A chunk may start on the even number after
    // the previous chunk; its last divisor is the odd one that brings the
    // count to the next checkpoint.
    const quint64 lastOdd = limit % 2 != 0 ? limit : limit - 1;
    quint32 roomAhead = kDivisionsPerCheckpoint - counter; // chunkEnd's own count
    const auto chunkEnd = [&](quint64 chunkFirst) {
        const quint64 odd = chunkFirst | 1;
        const quint64 room = std::exchange(roomAhead, kDivisionsPerCheckpoint);
        return (lastOdd - odd) / 2 >= room - 1 ? odd + 2 * (room - 1) : lastOdd;
    };
    // The odd divisors from d to `last` were tried; d moves on to `next`.
    const auto tried = [&](quint64 last, quint64 next) {
        const quint64 divisions = (last - d) / 2 + 1;
        d = next;
        return counted(divisions);
    };
    const auto chunkDone = [&](quint64 chunkLast) { return tried(chunkLast, chunkLast + 2); };
    const DivisorSearch search = SmallestDivisorInOrder(value, d, lastOdd, chunkEnd, chunkDone);
    if (search.stopped)
        return TrialOutcome::Stopped;
    if (search.divisor == 0)
        return TrialOutcome::NoDivisor;
    return tried(search.divisor, search.divisor) ? TrialOutcome::Stopped : TrialOutcome::DivisorFound;
}
