// Primes written straight into bytes, the way list files hold them: decimal
// digits, optionally in groups of three with a separator, then CR LF.
#pragma once

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace PrimeText {

// Longest line: 20 digits, 6 separators of up to 4 bytes each, CR LF.
constexpr int kMaxLine = 20 + 6 * 4 + 2;

namespace detail {
inline constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// "000" to "999", three bytes each.
inline constexpr std::array<char, 3000> kTriples = [] {
    std::array<char, 3000> triples{};
    for (int i = 0; i < 1000; ++i) {
        triples[std::size_t(i) * 3] = char('0' + i / 100);
        triples[std::size_t(i) * 3 + 1] = char('0' + i / 10 % 10);
        triples[std::size_t(i) * 3 + 2] = char('0' + i % 10);
    }
    return triples;
}();

// The powers of ten a 64-bit number can reach.
inline constexpr quint64 kPowers[20] = {1ull,
                                        10ull,
                                        100ull,
                                        1000ull,
                                        10000ull,
                                        100000ull,
                                        1000000ull,
                                        10000000ull,
                                        100000000ull,
                                        1000000000ull,
                                        10000000000ull,
                                        100000000000ull,
                                        1000000000000ull,
                                        10000000000000ull,
                                        100000000000000ull,
                                        1000000000000000ull,
                                        10000000000000000ull,
                                        100000000000000000ull,
                                        1000000000000000000ull,
                                        10000000000000000000ull};
} // namespace detail

// Writes the digits of v ending just before `end`; returns where they start.
// Eight digits at a time are cut off in 64-bit arithmetic, and each group of
// eight is written in 32-bit arithmetic, two digits at a time.
inline char *DigitsBackwards(char *end, quint64 v)
{
    while (v >= 100'000'000) {
        const std::uint32_t low = std::uint32_t(v % 100'000'000);
        v /= 100'000'000;
        // Cut in halves first, so that the four pairs do not wait on each
        // other.
        const std::uint32_t high4 = low / 10'000;
        const std::uint32_t low4 = low % 10'000;
        end -= 8;
        std::memcpy(end, detail::kPairs + (high4 / 100) * 2, 2);
        std::memcpy(end + 2, detail::kPairs + (high4 % 100) * 2, 2);
        std::memcpy(end + 4, detail::kPairs + (low4 / 100) * 2, 2);
        std::memcpy(end + 6, detail::kPairs + (low4 % 100) * 2, 2);
    }
    std::uint32_t rest = std::uint32_t(v);
    while (rest >= 100) {
        end -= 2;
        std::memcpy(end, detail::kPairs + (rest % 100) * 2, 2);
        rest /= 100;
    }
    if (rest >= 10) {
        end -= 2;
        std::memcpy(end, detail::kPairs + rest * 2, 2);
    } else {
        *--end = char('0' + rest);
    }
    return end;
}

// The number of decimal digits of v (one for 0): the bit length gives
// log10 within one (1233 / 4096 is just above log10(2)), and one comparison
// settles it. v | 1 has the digit count of v, and a bit length for 0 too.
inline int DigitCount(quint64 v)
{
    const quint64 odd = v | 1;
    const int estimate = ((64 - __builtin_clzll(odd)) * 1233) >> 12;
    return estimate + 1 - (odd < detail::kPowers[estimate] ? 1 : 0);
}

// The length of the line of a number of `digits` digits, grouped by three
// with a separator of sepLength bytes (0: plain digits), CR LF included.
inline std::size_t LineLength(int digits, int sepLength)
{
    return std::size_t(digits + sepLength * ((digits - 1) / 3) + 2);
}

// Calls run(begin, end, digits) for each run of numbers of one digit count
// in [first, last), numbers in increasing order: one search per digit
// count, not one look per number.
template <typename Run> inline void ForEachDigitRun(const quint64 *first, const quint64 *last, Run run)
{
    while (first != last) {
        const int digits = DigitCount(*first);
        const quint64 *next = digits >= 20 ? last : std::lower_bound(first, last, detail::kPowers[digits]);
        run(first, next, digits);
        first = next;
    }
}

// The bytes that the lines of [first, last), numbers in increasing order,
// take.
inline std::size_t LinesLength(const quint64 *first, const quint64 *last, int sepLength)
{
    std::size_t bytes = 0;
    ForEachDigitRun(first, last, [&bytes, sepLength](const quint64 *begin, const quint64 *end, int digits) {
        bytes += std::size_t(end - begin) * LineLength(digits, sepLength);
    });
    return bytes;
}

// Appends v, of `digits` digits, in plain digits and CR LF at out; returns
// the new end. The digits go straight to their place: no copy of a
// variable length, which would cost a library call per line.
inline char *PlainLineOf(char *out, quint64 v, int digits)
{
    DigitsBackwards(out + digits, v);
    out[digits] = '\r';
    out[digits + 1] = '\n';
    return out + digits + 2;
}

// The same when the digit count is not known yet.
inline char *PlainLine(char *out, quint64 v)
{
    return PlainLineOf(out, v, DigitCount(v));
}

// Appends v, of `digits` digits, with its digit groups separated by sep
// (SepLength bytes) and CR LF at out; returns the new end. Knowing the digit
// count spares finding it for every line, where the address of every byte
// depends on it. The line is written backwards from its end, each group of
// three straight to its place. Six digits are cut off at a time, and their
// two groups from the one remainder, so that the groups do not each wait
// on the division before them.
template <int SepLength> inline char *GroupedLineOf(char *out, quint64 v, const char *sep, int digits)
{
    static_assert(SepLength >= 1 && SepLength <= 4);
    char *const end = out + digits + SepLength * ((digits - 1) / 3);
    char *at = end;
    const auto group = [&at, sep](std::uint32_t three) {
        at -= 3;
        std::memcpy(at, detail::kTriples.data() + three * 3, 3);
        at -= SepLength;
        std::memcpy(at, sep, SepLength);
    };
    while (v >= 1'000'000) {
        const std::uint32_t six = std::uint32_t(v % 1'000'000);
        v /= 1'000'000;
        group(six % 1000);
        group(six / 1000);
    }
    std::uint32_t rest = std::uint32_t(v);
    if (rest >= 1000) {
        group(rest % 1000);
        rest /= 1000;
    }
    DigitsBackwards(at, rest);
    end[0] = '\r';
    end[1] = '\n';
    return end + 2;
}

namespace detail {

// One line written on its own, of `digits` digits, plain or grouped.
template <int SepLength> inline char *LineOf(char *out, quint64 v, const char *sep, int digits)
{
    if constexpr (SepLength == 0) {
        (void)sep;
        return PlainLineOf(out, v, digits);
    } else {
        return GroupedLineOf<SepLength>(out, v, sep, digits);
    }
}

// "000\r\n" to "999\r\n" in eight bytes each: a line's last group and its
// end, written by one store.
inline constexpr std::array<char, 8000> kLastGroups = [] {
    std::array<char, 8000> ends{};
    for (std::size_t i = 0; i < 1000; ++i) {
        for (std::size_t k = 0; k < 3; ++k)
            ends[i * 8 + k] = kTriples[i * 3 + k];
        ends[i * 8 + 3] = '\r';
        ends[i * 8 + 4] = '\n';
    }
    return ends;
}();

// Lines of numbers of one digit count (at least four), in increasing
// order. Consecutive primes differ by little, so a line differs from the
// one before mostly in its last group of three digits: the rest, its lead
// (digits and separators), is written out once per thousand and copied
// from there, Copy bytes at a time (Copy is at least the lead's length).
// Each line is the lead (`lead` bytes), then its last group with CR LF
// from a table: two stores. Both may write past the line's end, at most 10
// bytes; the next line overwrites them, and the last two lines are written
// exactly, so nothing is written past the returned end.
template <int SepLength, int Copy>
inline char *LeadCopiedLines(const quint64 *first, const quint64 *last, char *out, const char *sep, int digits,
                             std::size_t lead)
{
    constexpr int kExactAtEnd = 2;
    alignas(16) char leadBytes[Copy + kMaxLine] = {};
    // Numbers have four digits at least, so the first one writes the lead.
    quint64 thousand = 0;
    const quint64 *const fast = last - std::min<std::ptrdiff_t>(last - first, kExactAtEnd);
    for (; first != fast; ++first) {
        const quint64 v = *first;
        quint64 group = v - thousand;
        if (group >= 1000) {
            group = v % 1000;
            thousand = v - group;
            LineOf<SepLength>(leadBytes, v, sep, digits);
        }
        std::memcpy(out, leadBytes, Copy);
        std::memcpy(out + lead, kLastGroups.data() + group * 8, 8);
        out += lead + 5;
    }
    for (; first != last; ++first)
        out = LineOf<SepLength>(out, *first, sep, digits);
    return out;
}

template <int SepLength>
inline char *SameDigitLines(const quint64 *first, const quint64 *last, char *out, const char *sep, int digits)
{
    if (digits < 4) {
        for (; first != last; ++first)
            out = LineOf<SepLength>(out, *first, sep, digits);
        return out;
    }
    const std::size_t lead = std::size_t(digits - 3 + SepLength * ((digits - 1) / 3));
    if (lead <= 16)
        return LeadCopiedLines<SepLength, 16>(first, last, out, sep, digits, lead);
    if (lead <= 32)
        return LeadCopiedLines<SepLength, 32>(first, last, out, sep, digits, lead);
    return LeadCopiedLines<SepLength, 48>(first, last, out, sep, digits, lead);
}

} // namespace detail

// Writes the lines of [first, last), numbers in increasing order, at out,
// grouped with sep when sepLength (at most 4) is not 0; returns their end,
// and writes nothing beyond it. Each run of one digit count is written by
// a loop that knows it, and the separator's length is chosen once per
// call, not once per line.
template <int SepLength> inline char *LinesOf(const quint64 *first, const quint64 *last, char *out, const char *sep)
{
    ForEachDigitRun(first, last, [&out, sep](const quint64 *begin, const quint64 *end, int digits) {
        out = detail::SameDigitLines<SepLength>(begin, end, out, sep, digits);
    });
    return out;
}

inline char *Lines(const quint64 *first, const quint64 *last, char *out, const char *sep, int sepLength)
{
    switch (sepLength) {
    case 0:
        return LinesOf<0>(first, last, out, sep);
    case 1:
        return LinesOf<1>(first, last, out, sep);
    case 2:
        return LinesOf<2>(first, last, out, sep);
    case 3:
        return LinesOf<3>(first, last, out, sep);
    default:
        return LinesOf<4>(first, last, out, sep);
    }
}

// The line of one number, grouped as Lines groups them.
inline char *GroupedLine(char *out, quint64 v, const char *sep, int sepLength)
{
    return Lines(&v, &v + 1, out, sep, sepLength);
}

} // namespace PrimeText
