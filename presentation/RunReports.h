// What a user reads of a run, built in one place from the engines' results
// and progress: the report lines with their styles, and the status.
// The window and the terminal both show runs through these.
#pragma once

#include "core/Factorisation.h"
#include "core/Generation.h"
#include "presentation/RunView.h"
#include "core/Verification.h"

#include <QString>

// The state texts of every computation.
QString RunningStateText();
QString FinishedStateText();

// The status as a run starts: the state text, the rest kept.
void ShowRunStarted(RunView &view);
// The closing status of every computation: the time, the state, the full
// bar and "100 %".
void ShowRunFinished(RunView &view, const QString &timeText);
// What a stopped run leaves: the state emptied and the bar at 0.
void ShowRunStopped(RunView &view);

// The verification: the time, the bar and its percentage at a checkpoint;
// then the report of the verdict with the closing status; true when a
// number was reported (every number but -1), which fixes a session's
// separator (SessionSeparator::NumberReported).
void ShowVerificationCheckpoint(RunView &view, qint64 n, const VerificationCheckpoint &checkpoint);
bool ShowVerificationResult(RunView &view, const VerificationResult &result);
// The report of one verification, grouped with a plain space.
void AfficherResultat(RunView &view, bool prime, const QString &explanation, qint64 x);
// The explanations given for 0, 1 and 2.
QString ZeroExplanation();
QString OneExplanation();
QString TwoExplanation();

// The factorisation: its heading and starting status, each prime power as
// it comes, the bar and the lap times, then the rest and the verdict. The
// number is grouped with a plain space, and a session's separator is fixed
// from the start on.
void ShowFactorisationStarted(RunView &view, qint64 n);
// The line above the prime powers, in the window and in the terminal.
QString FactorisationHeading();
void ShowFactor(RunView &view, const PrimePower &power);
void ShowFactorisationProgress(RunView &view, const FactorisationProgress &progress);
void ShowFactorisationResult(RunView &view, const FactorisationResult &result);
// An empty line, the text in italics, an empty line.
void ShowVerdict(RunView &view, const QString &text);
QString VerdictText(bool prime);

// The list: the elapsed time as a clock, the bar and its percentage for the
// last prime handled; then the closing status of a finished list.
void ShowListProgress(RunView &view, const ListRequest &request, const ListProgress &progress);
void ShowListFinished(RunView &view, const ListResult &result);
// The window's title while a list runs: "Tavorine — 37 % — environ 2 min
// restantes", the remaining time from the pace of this run once it has
// run a second; the title alone before the first prime. Years are grouped
// with the request's separator.
QString ListWindowTitle(const QString &title, const ListRequest &request, const ListProgress &progress);
