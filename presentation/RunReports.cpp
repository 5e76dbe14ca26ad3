// What a user reads of a run, built in one place from the engines' results
// and progress: the report lines with their styles, and the status strip.
#include "presentation/RunReports.h"

#include "presentation/ElapsedText.h"
#include "presentation/EstimateText.h"
#include "presentation/NumberText.h"

#include <algorithm>

QString RunningStateText()
{
    return QStringLiteral("Traitement en cours, patientez...");
}

QString FinishedStateText()
{
    return QStringLiteral("Terminé...");
}

namespace {

QString Seconds(qint64 elapsedMs)
{
    // Tick counts are 32-bit: the difference wraps like the system's.
    return SecondsText(quint32(quint64(elapsedMs)));
}

// A position kept within the bar's range: outside it, the bar shows the
// nearest end.
int BarPosition(qint64 position)
{
    return int(std::clamp<qint64>(position, RunView::kBarMinimum, RunView::kBarMaximum));
}

// The bar, then the percentage of that same position.
void ShowPosition(RunView &view, qint64 position)
{
    const int kept = BarPosition(position);
    view.SetBarPosition(kept);
    view.SetPercentText(PercentText(kept));
}

} // namespace

void ShowRunStarted(RunView &view)
{
    view.SetStateText(RunningStateText());
}

void ShowRunFinished(RunView &view, const QString &timeText)
{
    view.SetElapsedText(timeText);
    ShowPosition(view, 100);
    view.SetStateText(FinishedStateText());
}

void ShowRunStopped(RunView &view)
{
    view.SetStateText(QString());
    view.SetBarPosition(0);
}

QString ZeroExplanation()
{
    return QStringLiteral("La définition d\u2019un nombre premier est d\u2019être divisible par deux entiers "
                          "distincts, 1 et lui-même. Dans le cas de 0, celui-ci est divisible par tous les "
                          "entiers positifs. Il ne répond donc pas à la définition d'un nombre premier.");
}

QString OneExplanation()
{
    return QStringLiteral("La définition d\u2019un nombre premier est d\u2019être divisible par deux entiers "
                          "distincts, 1 et lui-même. Dans le cas du nombre 1, les diviseurs 1 et lui-même ne "
                          "sont pas distincts. 1 ne répond donc pas à la définition d\u2019un nombre premier.");
}

QString TwoExplanation()
{
    return QStringLiteral("2 est le seul et unique nombre premier pair.");
}

QString VerdictText(bool prime)
{
    return prime ? QStringLiteral("Nombre premier : oui") : QStringLiteral("Nombre premier : non");
}

void ShowVerificationCheckpoint(RunView &view, qint64 n, const VerificationCheckpoint &checkpoint)
{
    view.SetElapsedText(Seconds(checkpoint.elapsedMs));
    ShowPosition(view, VerificationPosition(n, checkpoint.nextDivisor));
}

bool ShowVerificationResult(RunView &view, const VerificationResult &result)
{
    const qint64 n = result.n;
    // -1 has no report: it is neither tested nor explained.
    const bool reported = n >= 0;
    if (n > 2)
        AfficherResultat(view, result.prime, QString(), n);
    else if (n == 2)
        AfficherResultat(view, true, TwoExplanation(), n);
    else if (n == 1)
        AfficherResultat(view, false, OneExplanation(), n);
    else if (n == 0)
        AfficherResultat(view, false, ZeroExplanation(), n);
    ShowRunFinished(view, Seconds(result.elapsedMs));
    return reported;
}

void AfficherResultat(RunView &view, bool prime, const QString &explanation, qint64 x)
{
    view.SetReportAlignment(ParagraphAlignment::Centre);
    for (int i = 0; i < 3; ++i)
        view.AddReportLine(QString());
    view.AddReportLine(GroupedNumber(x, SessionSeparator::ReportSeparator()), LineStyle::Bold);
    view.AddReportLine(QString());
    view.AddReportLine(VerdictText(prime));
    view.AddReportLine(QString());
    view.AddReportLine(explanation, LineStyle::Italic);
    view.AddReportLine(QString());
}

QString FactorisationHeading()
{
    return QStringLiteral("La décomposition en facteurs premiers a donné : ");
}

void ShowFactorisationStarted(RunView &view, qint64 n)
{
    view.SetReportAlignment(ParagraphAlignment::Centre);
    view.AddReportLine(QString());
    view.AddReportLine(QString());
    view.AddReportLine(GroupedNumber(n, SessionSeparator::ReportSeparator()), LineStyle::Bold);
    view.AddReportLine(QString());
    view.AddReportLine(FactorisationHeading());
    view.AddReportLine(QString());
    view.SetPercentText(QString());
    ShowRunStarted(view);
}

void ShowFactor(RunView &view, const PrimePower &power)
{
    // Every prime power divided out is followed by a space; the prime left
    // at the end is not.
    view.AddReportLine(QStringLiteral("(%1^%2) ").arg(power.prime).arg(power.exponent));
}

void ShowFactorisationProgress(RunView &view, const FactorisationProgress &progress)
{
    view.SetBarPosition(BarPosition(FactorisationPosition(progress.counter)));
    if (progress.lapEnded)
        view.SetElapsedText(Seconds(progress.elapsedMs));
}

void ShowFactorisationResult(RunView &view, const FactorisationResult &result)
{
    if (result.cofactor > 1)
        view.AddReportLine(QStringLiteral("(%1^1)").arg(result.cofactor));
    if (result.n == 1)
        view.AddReportLine(QStringLiteral("(1^1)"));
    if (result.n == 0)
        view.AddReportLine(QStringLiteral("0"));
    ShowVerdict(view, VerdictText(result.Prime()));
    ShowRunFinished(view, Seconds(result.elapsedMs));
}

void ShowVerdict(RunView &view, const QString &text)
{
    view.AddReportLine(QString());
    view.AddReportLine(text, LineStyle::Italic);
    view.AddReportLine(QString());
}

void ShowListProgress(RunView &view, const ListRequest &request, const ListProgress &progress)
{
    view.SetElapsedText(ClockText(progress.elapsedMs));
    ShowPosition(view, ListPosition(request, progress));
}

void ShowListFinished(RunView &view, const ListResult &result)
{
    ShowRunFinished(view, ClockText(result.progress.elapsedMs));
}

QString ListWindowTitle(const QString &title, const ListRequest &request, const ListProgress &progress)
{
    if (!progress.handledAny)
        return title;
    const QString percent = QStringLiteral("%1 — %2 %").arg(title).arg(ListPosition(request, progress));
    // The pace of this run over the numbers it sieved, from its start file
    // on; unsigned arithmetic keeps the ends of the 64-bit range safe.
    const quint64 from = ListFirstSieved(request);
    const quint64 total = quint64(request.last) - from + 1;
    const quint64 done = progress.lastHandled >= from ? progress.lastHandled - from + 1 : 0;
    if (progress.elapsedMs < 1000 || done == 0)
        return percent;
    const double seconds = double(progress.elapsedMs) / 1000 * (double(total - std::min(done, total)) / double(done));
    if (seconds < 1)
        return percent;
    return QStringLiteral("%1 — environ %2 restantes").arg(percent, DurationText(seconds, request.separator));
}
