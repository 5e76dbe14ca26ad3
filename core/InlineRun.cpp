// A run computed and shown on the calling thread, for the terminal and the
// tests: each checkpoint is shown, then a hook runs that may stop the run.
#include "core/InlineRun.h"

#include "core/RunReports.h"

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
