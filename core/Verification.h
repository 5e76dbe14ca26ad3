// Primality verification by trial division, with its report: the number in
// bold, the verdict, and an explanation for 0, 1 and 2.
#pragma once

#include <QString>
#include <QtGlobal>

class RunHost;

// Tests n and writes the report; returns when finished or stopped. A number
// below -1 raises CommandError before any report line is written.
void Verifier(RunHost &host, qint64 n);

// The report of one verification; sets the process-wide thousands
// separator to a plain space.
void AfficherResultat(RunHost &host, bool premier, const QString &explication, qint64 x);

// The explanations given for 0, 1 and 2.
QString ExplicationZero();
QString ExplicationUn();
QString ExplicationDeux();
