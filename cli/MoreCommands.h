// The commands of the terminal beyond the window's 64-bit computations:
// verifier and decomposer above 2^63 - 1 (FLINT), nieme (primecount),
// suivant and precedent, compter with tuplets, lister on standard output.
#pragma once

#include "cli/Arguments.h"

#include <QString>
#include <QtGlobal>

namespace MoreCommands {

// The largest number of digits each command accepts.
constexpr int kVerifyDigits = 1000;
constexpr int kFactoriseDigits = 100;
constexpr int kNeighbourDigits = 1000;

// A number text for the 64-bit computations: an empty one is refused with
// its own message, any other as ParseNumber refuses it.
qint64 ReadNumber(const QString &text);
// Whether the text is a number beyond the signed 64-bit range, which
// verifier and decomposer hand to FLINT.
bool IsBeyond64Bits(const QString &text);

// Each returns the exit status; a refusal raises a CommandError.
int BigVerify(const QString &text, bool progress);
int BigFactorise(const QString &text, bool progress);
int NthPrime(const QString &text, bool progress);
int NextPrime(const QString &text, bool progress);
int PreviousPrime(const QString &text, bool progress);
int CountTuplets(const Arguments &args, bool progress);
int ListToStdout(const Arguments &args);

} // namespace MoreCommands
