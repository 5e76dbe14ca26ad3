// The texts of the terminal's commands beyond the window's computations:
// numbers of any size, the n-th prime, next and previous primes, tuplet
// counts and the list on standard output. Kept together so that they can
// be reviewed and translated in one place.
#pragma once

#include <QString>

namespace CliTexts {

// A refusal that ends a terminal command: its sentence goes to stderr,
// ended by a full stop, as the window's error box shows an error's text.
struct Refusal {
    explicit Refusal(const QString &text) : sentence(text.endsWith(QLatin1Char('.')) ? text : text + QLatin1Char('.')) {}
    QString sentence;
};

// Refused input.
QString EmptyNumber();
QString TooManyDigits(const QString &command, int digits, int limit);
QString NegativeBound(const QString &text);
QString StartAfterEnd(const QString &first, const QString &last);
QString NthPrimeOfZero();
QString NthPrimeTooLarge(const QString &limit);
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
