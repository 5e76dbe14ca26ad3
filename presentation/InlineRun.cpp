// A run computed and shown on the calling thread, for the terminal and the
// tests: each checkpoint is shown, then a hook runs that may stop the run.
#include "presentation/InlineRun.h"

#include "presentation/EstimateText.h"
#include "presentation/Messages.h"
#include "presentation/RunReports.h"

VerificationResult RunVerification(RunView &view, qint64 n, StopToken &stop, const CheckpointHook &hook)
{
    ShowRunStarted(view);
    const VerificationResult result = Verify(n, stop, [&](const VerificationCheckpoint &checkpoint) {
        ShowVerificationCheckpoint(view, n, checkpoint);
        hook();
    });
    if (!result.stopped)
        ShowVerificationResult(view, result);
    return result;
}

FactorisationResult RunFactorisation(RunView &view, qint64 n, StopToken &stop, const CheckpointHook &hook)
{
    ShowFactorisationStarted(view, n);
    FactorisationEvents events;
    // Each prime power is followed by the progress of its count.
    events.factor = [&](const PrimePower &power) { ShowFactor(view, power); };
    events.progress = [&](const FactorisationProgress &progress) {
        ShowFactorisationProgress(view, progress);
        hook();
    };
    // The run may be stopped before its first divisor.
    hook();
    const FactorisationResult result = Factorise(n, stop, events);
    if (!result.stopped)
        ShowFactorisationResult(view, result);
    return result;
}

std::optional<ListRequest> PrepareList(const ListHost &files, ListDialogs &host, qint64 first, qint64 last,
                                       const QString &firstText, const QString &lastText, const QString &separator)
{
    ShowRunStarted(host);
    ListRequest request = ListRequestFor(first, last, firstText, lastText, separator);
    const std::optional<QString> chosen = host.ChooseFirstFile(ProposedFirstFile(request));
    if (!chosen) {
        host.RazFin();
        return std::nullopt;
    }
    if (const std::optional<CommandError> refusal = ContinuationRefusal(request, *chosen, files)) {
        host.Inform(ErrorText(*refusal));
        host.RazFin();
        return std::nullopt;
    }
    request.firstFile = *chosen;
    // "Oui" keeps the completed files of the earlier run, so nothing is
    // replaced; "Non" writes the list anew and asks as usual.
    const std::optional<qint64> resume = files.ResumeFile(request);
    if (resume && host.AskToResume(*resume)) {
        request.startFile = *resume;
    } else if (host.VerifierSiEcrasementFichier(*chosen)) {
        host.RazFin();
        return std::nullopt;
    }
    if (const std::optional<ListPlan> plan = files.PlanList(request)) {
        if (!plan->fits) {
            host.Inform(plan->refusal ? ErrorText(*plan->refusal) : QString());
            host.RazFin();
            return std::nullopt;
        }
        if (IsLongList(*plan) && !host.AskToStartLongList(LongListQuestion(plan->estimate, request.separator))) {
            host.RazFin();
            return std::nullopt;
        }
    }
    return request;
}

bool IsLongList(const ListPlan &plan)
{
    return plan.large || plan.estimate.seconds > 60;
}

bool RunList(ListHost &files, ListRunHost &host, qint64 first, qint64 last, const QString &firstText,
             const QString &lastText, const QString &separator, StopToken &stop, const CheckpointHook &hook)
{
    const std::optional<ListRequest> prepared = PrepareList(files, host, first, last, firstText, lastText, separator);
    if (!prepared)
        return false;
    const ListRequest &request = *prepared;
    const ListResult result = GenerateList(files, request, stop, [&](const ListProgress &progress) {
        ShowListProgress(host, request, progress);
        hook();
    });
    if (result.stopped || result.error) {
        host.RazFin();
        if (result.error)
            host.Inform(ErrorText(*result.error));
        else if (result.diskFull)
            host.Inform(ErrorText(*result.diskFull));
        return false;
    }
    host.ShowListFile(result.lastFile);
    ShowListFinished(host, result);
    host.Inform(ListReadyMessage(result.files));
    return true;
}
