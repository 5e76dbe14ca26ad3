// Exact integer helpers for the computations: square-root bounds and
// rounding to the nearest integer with halves going to the even neighbour.
#include "core/Arithmetic.h"

#include <cmath>

__extension__ typedef unsigned __int128 UInt128;

quint64 ISqrt(quint64 v)
{
    // The floating-point root is within one of the true root; fix it up
    // with exact 128-bit squares.
    quint64 r = quint64(std::sqrt(static_cast<long double>(v)));
    while (r > 0 && UInt128(r) * r > v)
        --r;
    while (UInt128(r + 1) * (r + 1) <= v)
        ++r;
    return r;
}

quint64 RoundHalfEven(quint64 num, quint64 den)
{
    const quint64 q = num / den;
    const quint64 r = num % den;
    const quint64 rest = den - r;
    if (r > rest || (r == rest && (q & 1u)))
        return q + 1;
    return q;
}

quint64 RoundSqrtOverHundred(quint64 v)
{
    const quint64 r = ISqrt(v);
    if (UInt128(r) * r == v)
        return RoundHalfEven(r, 100);
    // sqrt(v) is irrational and lies strictly between r and r + 1, so its
    // hundredth has the integer part r / 100 and can never be a tie: it
    // rounds up exactly when sqrt(v) passes the midpoint 100 q + 50.
    const quint64 q = r / 100;
    const UInt128 midpoint = UInt128(100 * q + 50);
    return UInt128(v) > midpoint * midpoint ? q + 1 : q;
}
