// A run computed and shown on the calling thread, for the terminal and the
// tests: each checkpoint is shown, then a hook runs that may stop the run.
#pragma once

#include "core/Factorisation.h"
#include "core/Generation.h"
#include "presentation/RunView.h"
#include "core/Verification.h"

#include <functional>
#include <optional>

class StopToken;

// The hook runs after each checkpoint is shown; it may call
// stop.RequestStop(). A stopped run shows nothing more: the caller resets
// its view as a stop does.
using CheckpointHook = std::function<void()>;

VerificationResult RunVerification(RunView &view, qint64 n, StopToken &stop, const CheckpointHook &hook);
FactorisationResult RunFactorisation(RunView &view, qint64 n, StopToken &stop, const CheckpointHook &hook);

// What a list needs besides its files, wherever it runs: the dialogs before
// it, its messages, and the reset after a stop.
class ListDialogs : public RunView
{
public:
    // The save dialog, proposing a name; no value when cancelled.
    virtual std::optional<QString> ChooseFirstFile(const QString &proposedName) = 0;
    // Asks before replacing an existing first file; true when refused.
    virtual bool VerifierSiEcrasementFichier(const QString &path) = 0;
    // An information box with one OK button.
    virtual void Inform(const QString &text) = 0;
    // Whether to resume an earlier stopped run of the list from that file;
    // true for "Oui". Without the question nothing is resumed.
    virtual bool AskToResume(qint64) { return false; }
    // Asks before a list that runs long or takes much of the free space,
    // with its estimate; true to start it.
    virtual bool AskToStartLongList(const QString &) { return true; }
    // What a stopped or cancelled run leaves.
    virtual void RazFin() = 0;
};

// A list run on the calling thread also shows its last file.
class ListRunHost : public ListDialogs
{
public:
    // Shows a finished list's last file.
    virtual void ShowListFile(const QString &path) = 0;
};

// Whether that estimate asks first: over about a minute, or more than a
// tenth of the free space.
bool IsLongList(const ListPlan &plan);

// The steps before a list: the save dialog, the refusal of a first file
// named like a continuation file, the resume question when the file starts
// an earlier stopped run, the overwrite question, then the estimate: a list
// that cannot fit is refused, a long one asked about. The request of the
// run, its files grouped with separator, or nothing when it ends there
// (RazFin done).
std::optional<ListRequest> PrepareList(const ListHost &files, ListDialogs &host, qint64 first, qint64 last,
                                       const QString &firstText, const QString &lastText, const QString &separator);

// The list of the range as typed, from the dialogs to the final message;
// false when it did not reach its end (cancelled, refused, stopped or
// failed).
bool RunList(ListHost &files, ListRunHost &host, qint64 first, qint64 last, const QString &firstText,
             const QString &lastText, const QString &separator, StopToken &stop, const CheckpointHook &hook);
