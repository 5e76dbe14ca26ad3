// The inner loop of verification and factorisation: the smallest divisor of
// a number in a range of trial divisors, tested many at once with SIMD.
#include "core/TrialKernel.h"

#include <array>
#include <limits>

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

// Exactness of the SIMD test, for value = n < 2^63 and 2^15 <= d < 2^32.
//
// With Q = floor(n / d), the quotient is estimated in double precision as
// qd = fl(fl(n) / d), d being exact as a double. Each of the two roundings
// has a relative error below 2^-52 whatever the rounding mode, so
//     |qd - n / d| < (n / d) * 2^-50.9 < 2^63 / 2^15 * 2^-50 = 1/4.
// Truncating qd gives q with Q - 1 <= q <= Q + 1, and q < 2^49. Then
//     r = n - q * d   (computed modulo 2^64, exact as a signed value)
// lies in [-d, 2d): it is n mod d, or that plus or minus d. So d divides n
// exactly when r is 0, d or -d, and no other case exists: the test never
// depends on how close n / d comes to an integer.

// AVX-512: 8 divisors per vector, the double quotient truncated by
// vcvttpd2qq and q * d by vpmullq (both need DQ).
__attribute__((target("avx512f,avx512dq"))) quint64 Avx512Range(quint64 value, quint64 first, quint64 last)
{
    const __m512d n = _mm512_set1_pd(double(value));
    const __m512i nInt = _mm512_set1_epi64(qint64(value));
    const __m512i zero = _mm512_setzero_si512();
    const __m512i low = _mm512_set1_epi64(qint64(first));
    const __m512i high = _mm512_set1_epi64(qint64(last));
    for (quint64 base = first - first % kWheel; base <= last; base += kWheel) {
        const __m512d baseDouble = _mm512_set1_pd(double(base));
        const __m512i baseInt = _mm512_set1_epi64(qint64(base));
        for (int i = 0; i < kSpokes; i += 8) {
            const __m512i d = _mm512_add_epi64(baseInt, _mm512_load_si512(kSpokeOffsets.data() + i));
            const __m512d dDouble = _mm512_add_pd(baseDouble, _mm512_load_pd(kSpokeDoubles.data() + i));
            const __m512i q = _mm512_cvttpd_epi64(_mm512_div_pd(n, dDouble));
            const __m512i r = _mm512_sub_epi64(nInt, _mm512_mullo_epi64(q, d));
            __mmask8 hits = _mm512_cmpeq_epi64_mask(r, zero) | _mm512_cmpeq_epi64_mask(r, d)
                            | _mm512_cmpeq_epi64_mask(_mm512_add_epi64(r, d), zero);
            if (hits == 0)
                continue;
            // Divisors are rare: the range is only looked at when one shows.
            hits &= _mm512_cmpge_epu64_mask(d, low) & _mm512_cmple_epu64_mask(d, high);
            if (hits != 0)
                return base + quint64(kSpokeOffsets[std::size_t(i + __builtin_ctz(hits))]);
        }
    }
    return 0;
}

// AVX2: 4 divisors per vector. There is no double-to-integer conversion of
// 64-bit lanes: floor(qd) < 2^49 plus 2^52 is exact and leaves the integer
// in the low mantissa bits. q * d is built from two 32 x 32 -> 64-bit
// products, d being below 2^32.
__attribute__((target("avx2"))) quint64 Avx2Range(quint64 value, quint64 first, quint64 last)
{
    const __m256d n = _mm256_set1_pd(double(value));
    const __m256i nInt = _mm256_set1_epi64x(qint64(value));
    const __m256d magic = _mm256_set1_pd(4503599627370496.0); // 2^52
    const __m256i magicBits = _mm256_castpd_si256(magic);
    const __m256i zero = _mm256_setzero_si256();
    // Signed compares suffice: every value here is below 2^63.
    const __m256i belowFirst = _mm256_set1_epi64x(qint64(first) - 1);
    const __m256i high = _mm256_set1_epi64x(qint64(last));
    for (quint64 base = first - first % kWheel; base <= last; base += kWheel) {
        const __m256d baseDouble = _mm256_set1_pd(double(base));
        const __m256i baseInt = _mm256_set1_epi64x(qint64(base));
        for (int i = 0; i < kSpokes; i += 4) {
            const __m256i spokes = _mm256_load_si256(reinterpret_cast<const __m256i *>(kSpokeOffsets.data() + i));
            const __m256i d = _mm256_add_epi64(baseInt, spokes);
            const __m256d dDouble = _mm256_add_pd(baseDouble, _mm256_load_pd(kSpokeDoubles.data() + i));
            const __m256d qDouble = _mm256_floor_pd(_mm256_div_pd(n, dDouble));
            const __m256i q = _mm256_sub_epi64(_mm256_castpd_si256(_mm256_add_pd(qDouble, magic)), magicBits);
            const __m256i qLow = _mm256_mul_epu32(q, d);
            const __m256i qHigh = _mm256_slli_epi64(_mm256_mul_epu32(_mm256_srli_epi64(q, 32), d), 32);
            const __m256i r = _mm256_sub_epi64(nInt, _mm256_add_epi64(qLow, qHigh));
            const __m256i divides = _mm256_or_si256(
                _mm256_or_si256(_mm256_cmpeq_epi64(r, zero), _mm256_cmpeq_epi64(r, d)),
                _mm256_cmpeq_epi64(_mm256_add_epi64(r, d), zero));
            if (_mm256_testz_si256(divides, divides))
                continue;
            const __m256i outOfRange = _mm256_or_si256(_mm256_cmpgt_epi64(belowFirst, d), _mm256_cmpgt_epi64(d, high));
            const int hits = _mm256_movemask_pd(_mm256_castsi256_pd(_mm256_andnot_si256(outOfRange, divides)));
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
        return __builtin_cpu_supports("avx2");
    case KernelPath::Avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
    }
    return false;
#else
    return path == KernelPath::Scalar;
#endif
}

KernelPath &PathInUse()
{
    static KernelPath path = AvailableKernelPaths().last();
    return path;
}

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
        return "AVX-512 (F, DQ)";
    }
    return "?";
}

quint64 PremierDiviseur(quint64 value, quint64 first, quint64 last)
{
    Q_ASSERT(first >= 2);
    if (first > last)
        return 0;
    const KernelPath path = PathInUse();
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
    if (path == KernelPath::Avx512)
        return Avx512Range(value, first, last);
    return Avx2Range(value, first, last);
#else
    return ScalarRange(value, first, last);
#endif
}
