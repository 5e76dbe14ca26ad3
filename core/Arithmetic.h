// Exact integer helpers for the computations: square-root bounds and
// rounding to the nearest integer with halves going to the even neighbour.
#pragma once

#include <QtGlobal>

// Largest r with r * r <= v.
quint64 ISqrt(quint64 v);

// num / den rounded to the nearest integer, halves to even; den > 0.
quint64 RoundHalfEven(quint64 num, quint64 den);

// sqrt(v) / 100 rounded to the nearest integer, halves to even, computed as
// exact arithmetic would (no floating-point constant 0.01 creeps in).
quint64 RoundSqrtOverHundred(quint64 v);
