// The commands of the terminal beyond the window's 64-bit computations.
#include "cli/MoreCommands.h"

#include "cli/BackgroundWork.h"
#include "cli/BigNumber.h"
#include "cli/BigPrimes.h"
#include "cli/PrimePipe.h"
#include "cli/TerminalHost.h"
#include "cli/TupletCount.h"

#include "core/CommandError.h"
#include "core/NumberEntry.h"
#include "presentation/CliTexts.h"
#include "presentation/NumberText.h"
#include "presentation/RunReports.h"

#include <primecount.hpp>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

enum ExitStatus { kSuccess = 0, kNotPrime = 1, kError = 2 };

// The primes below 2^63 (pi(2^63 - 1)): the last rank nieme answers.
constexpr qint64 kLastRank = 216'289'611'853'439'384;

const QString kReportSeparator = QStringLiteral(" ");

// A number of any size, refused as the 64-bit ones are.
BigNumber ReadBig(const QString &text)
{
    if (IsEmptyNumberText(text))
        throw CliTexts::Refusal(CliTexts::EmptyNumber());
    std::optional<BigNumber> number = BigNumber::Parse(text);
    if (!number)
        ParseNumber(text); // raises the window's refusal
    return *number;
}

BigNumber ReadBigWithin(const QString &text, const QString &command, int digitLimit)
{
    BigNumber number = ReadBig(text);
    if (const int digits = number.DigitCount(); digits > digitLimit)
        throw CliTexts::Refusal(CliTexts::TooManyDigits(command, digits, digitLimit));
    return number;
}

// A bound of a range where only numbers from 0 make sense.
quint64 ReadBound(const QString &text)
{
    const qint64 value = MoreCommands::ReadNumber(text);
    if (value < 0)
        throw CliTexts::Refusal(CliTexts::NegativeBound(text));
    return quint64(value);
}

std::pair<quint64, quint64> ReadRange(const Arguments &args)
{
    const quint64 first = ReadBound(args.numbers[0]);
    const quint64 last = ReadBound(args.numbers[1]);
    if (first > last)
        throw CliTexts::Refusal(CliTexts::StartAfterEnd(args.numbers[0], args.numbers[1]));
    return {first, last};
}

} // namespace

namespace MoreCommands {

qint64 ReadNumber(const QString &text)
{
    if (IsEmptyNumberText(text))
        throw CliTexts::Refusal(CliTexts::EmptyNumber());
    return ParseNumber(text);
}

bool IsBeyond64Bits(const QString &text)
{
    const std::optional<BigNumber> number = BigNumber::Parse(text);
    return number && !number->FitsInt64();
}

int BigVerify(const QString &text, bool progress)
{
    const BigNumber n = ReadBigWithin(text, QStringLiteral("verifier"), kVerifyDigits);
    if (n.Sign() < 0)
        throw CommandError::InvalidFloatOperation();
    bool prime = false;
    const int digits = n.DigitCount();
    BackgroundWork::Run([&] { prime = BigPrimes::IsPrime(n); },
                        [digits] { return CliTexts::PrimalityProgress(digits); }, progress);
    // The report of the window, without its empty lines at either end.
    PrintLine(n.Grouped(kReportSeparator));
    PrintLine(QString());
    PrintLine(VerdictText(prime));
    return prime ? kSuccess : kNotPrime;
}

int BigFactorise(const QString &text, bool progress)
{
    const BigNumber n = ReadBigWithin(text, QStringLiteral("decomposer"), kFactoriseDigits);
    PrintLine(n.Grouped(kReportSeparator));
    PrintLine(QString());
    PrintLine(FactorisationHeading());
    // The heading comes before the sign is looked at, as in the window.
    if (n.Sign() < 0)
        throw CommandError::InvalidFloatOperation();
    QList<BigPrimes::Power> powers;
    BigPrimes::FactorisationState state;
    BackgroundWork::Run([&] { powers = BigPrimes::Factorise(n, state); },
                        [&state] {
                            return CliTexts::FactorisationProgress(state.factorsFound.load(), state.digitsLeft.load());
                        },
                        progress);
    PrintLine(QString());
    for (qsizetype i = 0; i < powers.size(); ++i) {
        // As trial division reports them: each power divided out ends with
        // a space, and the prime left at the end (the largest, once) does
        // not.
        const bool left = i + 1 == powers.size() && powers[i].exponent == 1;
        PrintLine(QStringLiteral("(%1^%2)%3")
                      .arg(powers[i].prime.Text())
                      .arg(powers[i].exponent)
                      .arg(left ? QString() : QStringLiteral(" ")));
    }
    PrintLine(QString());
    PrintLine(VerdictText(powers.size() == 1 && powers[0].exponent == 1));
    return kSuccess;
}

int NthPrime(const QString &text, bool progress)
{
    const BigNumber rank = ReadBig(text);
    if (rank.Sign() == 0)
        throw CliTexts::Refusal(CliTexts::NthPrimeOfZero());
    if (rank.Sign() < 0)
        throw CliTexts::Refusal(CliTexts::NegativeBound(text));
    if (!rank.FitsInt64() || rank.ToInt64() > kLastRank)
        throw CliTexts::Refusal(CliTexts::NthPrimeTooLarge(GroupDigits(kLastRank, kReportSeparator)));
    const qint64 n = rank.ToInt64();
    qint64 prime = 0;
    BackgroundWork::Run([&] { prime = primecount::nth_prime(n); }, [] { return CliTexts::SearchProgress(); },
                        progress);
    PrintLine(QString::number(prime));
    return kSuccess;
}

int NextPrime(const QString &text, bool progress)
{
    const BigNumber n = ReadBigWithin(text, QStringLiteral("suivant"), kNeighbourDigits);
    BigNumber next;
    BackgroundWork::Run([&] { next = BigPrimes::NextPrime(n); }, [] { return CliTexts::SearchProgress(); },
                        progress);
    PrintLine(next.Text());
    return kSuccess;
}

int PreviousPrime(const QString &text, bool progress)
{
    const BigNumber n = ReadBigWithin(text, QStringLiteral("precedent"), kNeighbourDigits);
    if (!(BigNumber(2) < n))
        throw CliTexts::Refusal(CliTexts::NoPrimeBelow(n.Text()));
    BigNumber previous;
    BackgroundWork::Run([&] { previous = BigPrimes::PreviousPrime(n); },
                        [] { return CliTexts::SearchProgress(); }, progress);
    PrintLine(previous.Text());
    return kSuccess;
}

int CountTuplets(const Arguments &args, bool progress)
{
    const auto [first, last] = ReadRange(args);
    QList<quint64> counts;
    BackgroundWork::Run(
        [&] {
            for (const QString &option : args.tuplets)
                counts.append(::CountTuplets(*TupletOfOption(option), first, last));
        },
        [] { return CliTexts::SearchProgress(); }, progress);
    for (const quint64 count : counts)
        PrintLine(QString::number(count));
    return kSuccess;
}

int ListToStdout(const Arguments &args)
{
    const auto [first, last] = ReadRange(args);
    QByteArray separator;
    if (args.separators)
        separator = (args.separator ? *args.separator : LocaleSeparator()).toUtf8();
    // A reader that goes away (| head) ends the list quietly: the write
    // fails with EPIPE instead of the signal ending the process.
    std::signal(SIGPIPE, SIG_IGN);
    std::fflush(stdout);
    switch (WritePrimes(STDOUT_FILENO, first, last, separator)) {
    case PipeOutcome::Finished:
    case PipeOutcome::Closed:
        return kSuccess;
    case PipeOutcome::Stopped:
        return kError;
    case PipeOutcome::Failed:
        break;
    }
    throw CliTexts::Refusal(CliTexts::StdoutFailed(QString::fromLocal8Bit(std::strerror(errno))));
}

} // namespace MoreCommands
