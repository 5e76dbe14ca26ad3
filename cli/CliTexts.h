// The texts of the terminal's commands beyond the window's computations:
// numbers of any size, the n-th prime, next and previous primes, tuplet
// counts and the list on standard output. Kept together so that they can
// be reviewed and translated in one place.
#pragma once

#include "core/CommandError.h"

#include <QString>

namespace CliTexts {

// A refusal that ends the command: its sentence goes to stderr, as the
// window's error box shows a CommandError followed by a full stop.
inline CommandError Refusal(const QString &sentence)
{
    return CommandError(sentence.endsWith(QLatin1Char('.')) ? sentence.chopped(1) : sentence);
}

// Refused input.
QString EmptyNumber();
QString TooManyDigits(const QString &command, int digits, int limit);
QString NegativeBound(const QString &text);
QString StartAfterEnd(const QString &first, const QString &last);
QString NthPrimeOfZero();
QString NthPrimeTooLarge(const QString &limit);
// The heading of the factorisation report, as the window writes it.
QString FactorisationHeading();
QString NoPrimeBelow(const QString &text);
QString OutputOnlyToStdout(const QString &value);
QString ListOutputWithFileOption(const QString &option);
QString OutOfMemory();
QString StdoutFailed(const QString &reason);
QString LibraryFailure(const QString &what);

// The progress line of a long computation.
QString FactorisationProgress(int factorsFound, int digitsLeft);
QString PrimalityProgress(int digits);
QString SearchProgress();

// The help's additions: commands, options of compter and of lister.
QString HelpCommands();
QString HelpCountOptions();
QString HelpListOutputOption();
QString HelpLimits();

} // namespace CliTexts
