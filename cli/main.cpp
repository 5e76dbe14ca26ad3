// tavorine-cli: the verification, the factorisation and the prime lists of
// Tavorine in a terminal, through the same engines and list files.
#include "cli/Arguments.h"
#include "cli/MoreCommands.h"
#include "cli/ProgressLine.h"
#include "cli/StopSignals.h"
#include "cli/TerminalHost.h"

#include "core/CommandError.h"
#include "core/Factorisation.h"
#include "core/Generation.h"
#include "core/ListEstimate.h"
#include "core/PrimeCounting.h"
#include "core/NumberEntry.h"
#include "core/StopToken.h"
#include "core/Verification.h"
#include "listfiles/ListFile.h"
#include "listhost/ListShapeFor.h"
#include "presentation/CliTexts.h"
#include "presentation/EstimateText.h"
#include "presentation/InlineRun.h"
#include "presentation/Messages.h"
#include "presentation/NumberText.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

enum ExitStatus { kSuccess = 0, kNotPrime = 1, kError = 2 };

void StopReceived(TerminalHost &host, StopToken &stop);

// The list run of the window's search page, from the texts as typed.
int ListToFiles(TerminalHost &host, const Arguments &args)
{
    const qint64 first = MoreCommands::ReadNumber(args.numbers[0]);
    const qint64 last = MoreCommands::ReadNumber(args.numbers[1]);
    if (!RangeHoldsAtLeast(first, last, kMinimumNumbers)) {
        PrintError(RangeTooSmallMessage());
        return kError;
    }
    // --sep-milliers=CAR, or the locale's separator.
    const QString separator = args.separator.value_or(LocaleSeparator());
    if (args.estimate) {
        // The first file's name as the run would choose it; nothing is
        // created, and an existing file does not matter.
        const ListRequest request = ListRequestFor(first, last, args.numbers[0], args.numbers[1], separator);
        const std::optional<QString> firstFile = host.ChooseFirstFile(ProposedFirstFile(request));
        const ListEstimate estimate = EstimateList(
            first, last, ShapeForList(firstFile.value_or(QString()), request.baseName, args.separators, separator));
        std::fputs(EstimateText(estimate, separator).toUtf8().constData(), stdout);
        return kSuccess;
    }
    StopToken stop;
    const bool finished = RunList(host, host, first, last, args.numbers[0], args.numbers[1], separator, stop,
                                  [&] { StopReceived(host, stop); });
    return finished ? kSuccess : kError;
}

// At each checkpoint: the progress line moves, and Ctrl+C or SIGTERM stop
// the run as the stop button does.
void StopReceived(TerminalHost &host, StopToken &stop)
{
    host.ProcessMessages();
    if (StopSignals::Received() != 0)
        stop.RequestStop();
}

int Verification(TerminalHost &host, qint64 n)
{
    StopToken stop;
    const VerificationResult result = RunVerification(host, n, stop, [&] { StopReceived(host, stop); });
    if (result.stopped)
        host.RazFin();
    return result.stopped ? kError : result.prime ? kSuccess : kNotPrime;
}

int Factorisation(TerminalHost &host, qint64 n)
{
    StopToken stop;
    const FactorisationResult result = RunFactorisation(host, n, stop, [&] { StopReceived(host, stop); });
    if (result.stopped)
        host.RazFin();
    return result.stopped ? kError : kSuccess;
}

// The exact number of primes from first to last, as a bare number.
int CountPrimes(const Arguments &args)
{
    const qint64 first = MoreCommands::ReadNumber(args.numbers[0]);
    const qint64 last = MoreCommands::ReadNumber(args.numbers[1]);
    const quint64 low = quint64(std::max<qint64>(first, 2));
    const quint64 count = last >= 2 ? PrimeCounting::CountExact(low, quint64(last)) : 0;
    PrintLine(QString::number(count));
    return kSuccess;
}

int Run(const Arguments &args)
{
    const bool showProgress = !args.silent && isatty(STDERR_FILENO);
    ProgressLine progress(showProgress);
    TerminalHost host(progress, {args.folder, args.fileName, args.separators, args.replace, args.resume});
    int status = kSuccess;
    try {
        switch (args.command) {
        case Arguments::Command::Verify:
            status = MoreCommands::IsBeyond64Bits(args.numbers[0])
                         ? MoreCommands::BigVerify(args.numbers[0], showProgress)
                         : Verification(host, MoreCommands::ReadNumber(args.numbers[0]));
            break;
        case Arguments::Command::Factorise:
            status = MoreCommands::IsBeyond64Bits(args.numbers[0])
                         ? MoreCommands::BigFactorise(args.numbers[0], showProgress)
                         : Factorisation(host, MoreCommands::ReadNumber(args.numbers[0]));
            break;
        case Arguments::Command::List:
            status = args.output ? MoreCommands::ListToStdout(args) : ListToFiles(host, args);
            break;
        case Arguments::Command::Count:
            status = args.tuplets.isEmpty() ? CountPrimes(args) : MoreCommands::CountTuplets(args, showProgress);
            break;
        case Arguments::Command::Nth:
            status = MoreCommands::NthPrime(args.numbers[0], showProgress);
            break;
        case Arguments::Command::Next:
            status = MoreCommands::NextPrime(args.numbers[0], showProgress);
            break;
        case Arguments::Command::Previous:
            status = MoreCommands::PreviousPrime(args.numbers[0], showProgress);
            break;
        case Arguments::Command::Help:
        case Arguments::Command::Version:
            break;
        }
    } catch (const CommandError &error) {
        progress.Clear();
        // The text of the window's error box.
        PrintError(ErrorText(error) + QLatin1Char('.'));
        status = kError;
    } catch (const CliTexts::Refusal &refusal) {
        progress.Clear();
        PrintError(refusal.sentence);
        status = kError;
    }
    progress.Clear();
    // A stopped run ends as a process stopped by that signal would.
    if (StopSignals::Received() != 0)
        return 128 + StopSignals::Received();
    return status;
}

// A test seam: TAVORINE_CLI_KILL_AT_FILE_STEP=N makes the process kill
// itself with SIGKILL just before the N-th file system step of its list
// files, so that a test can leave a list as a kill at that step leaves it.
std::atomic<long> fileStepsLeft = 0;

void KillAtFileStep()
{
    if (fileStepsLeft.fetch_sub(1) == 1)
        std::raise(SIGKILL);
}

void InstallKillSeam()
{
    const long step = qEnvironmentVariableIntValue("TAVORINE_CLI_KILL_AT_FILE_STEP");
    if (step <= 0)
        return;
    fileStepsLeft = step;
    ListFiles::SetFileStepHook(KillAtFileStep);
}

} // namespace

int main(int argc, char *argv[])
{
    // Before anything else, so that no file of a run is ever created while
    // Ctrl+C could still end the process in the middle of it.
    StopSignals::Install();
    InstallKillSeam();
    QCoreApplication app(argc, argv);

    const Arguments args = ParseArguments(app.arguments().mid(1));
    if (!args.error.isEmpty()) {
        PrintError(args.error);
        PrintError(QStringLiteral("Essayez « tavorine-cli --help »."));
        return kError;
    }
    if (args.command == Arguments::Command::Help) {
        std::fputs(HelpText().toUtf8().constData(), stdout);
        return kSuccess;
    }
    if (args.command == Arguments::Command::Version) {
        std::fputs(VersionText().toUtf8().constData(), stdout);
        return kSuccess;
    }
    return Run(args);
}
