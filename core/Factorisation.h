// Factorisation into prime powers by trial division: the heading first,
// then one line (p^k) per prime factor as soon as it is known, then the
// verdict whether the number itself is prime.
#pragma once

#include <QString>
#include <QtGlobal>

class RunHost;

// Factorises n into the report; returns when finished or stopped. A
// negative number raises CommandError once the heading is written.
void Decomposer(RunHost &host, qint64 n);

// An empty line, the text in italics, an empty line.
void AfficherVerdict(RunHost &host, const QString &text);

// Divisors tried per step of the progress bar, and the count after which
// the count restarts and the elapsed time is shown.
constexpr quint32 kDiviseursParPas = 100'000;
constexpr quint32 kDiviseursParTour = 10'000'000;
