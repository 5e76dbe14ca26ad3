// A run computed and shown on the calling thread, for the terminal and the
// tests: each checkpoint is shown, then a hook runs that may stop the run.
#pragma once

#include "core/Factorisation.h"
#include "core/RunView.h"
#include "core/Verification.h"

#include <functional>

class StopToken;

// The hook runs after each checkpoint is shown; it may call
// stop.RequestStop(). A stopped run shows nothing more: the caller resets
// its view as a stop does.
using CheckpointHook = std::function<void()>;

VerificationResult RunVerification(RunView &view, qint64 n, StopToken &stop, const CheckpointHook &hook);
FactorisationResult RunFactorisation(RunView &view, qint64 n, StopToken &stop, const CheckpointHook &hook);
