// The main window's run control (the start, the stop and close questions,
// RazDebut and RazFin, the message pump) and the window as the computations
// see it: report lines, status panels, progress, and the list files' dialogs
// and view.
#include "ui/window/MainForm.h"

#include "core/CommandError.h"
#include "core/Factorisation.h"
#include "core/Generation.h"
#include "core/NumberEntry.h"
#include "core/Verification.h"
#include "presentation/EstimateText.h"
#include "presentation/Messages.h"
#include "presentation/RunReports.h"
#include "presentation/WindowMessages.h"
#include "listfiles/ListFile.h"
#include "listhost/ListResume.h"
#include "ui/access/Announcer.h"
#include "ui/window/DesktopSignals.h"
#include "ui/report/ListViewLoader.h"
#include "ui/common/MessageBoxes.h"
#include "ui/report/ReportView.h"
#include "ui/threads/RunController.h"
#include "ui/status/StatusStrip.h"
#include "ui/window/WorkerListHost.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabWidget>

#include <algorithm>
#include <limits>

namespace {

// The status strip's panels that show a run: the time, the percentage and
// the state.
constexpr int kTimePanel = 1;
constexpr int kPercentPanel = 2;
constexpr int kStatePanel = 3;

// A list that ran this long tells the desktop it is ready when the window
// is not in front.
constexpr qint64 kNotifyAfterMs = 10'000;

int ClampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

bool TMainForm::FormCloseQuery()
{
    switch (run_->State()) {
    case RunState::Idle:
        return true;
    case RunState::AskingToStop:
        // The stop question is open; it is answered first.
        return false;
    case RunState::Running:
        if (!AskToStop())
            return false;
        break;
    case RunState::Stopping:
        break;
    }
    // A stopped computation leaves its files as a stop leaves them before
    // the window goes.
    run_->StopAndWait();
    SetBarPosition(0);
    return true;
}

bool TMainForm::AskToStop()
{
    run_->QuestionOpened();
    const bool stop = DemanderConfirmation(mtWarning, RunInProgressQuestion(), this);
    run_->QuestionAnswered(stop);
    return stop;
}

void TMainForm::ButtonDemarrerClick()
{
    if (!run_->Idle() || listLoader_->Loading())
        return;
    run_->HoldPaint();
    RazDebut();
    SaveDialog1->selectFile(QString());
    SetProgressBar(100, 0);
    run_->Begin();
    listLoader_->StartRun();
    try {
        // The page in front now decides the one computation of this start; a
        // page brought to the front during the run only empties the view.
        QWidget *const page = PageControl1->currentWidget();
        if (page == TabRecherche) {
            const qint64 first = ParseNumber(EditRechercheDebut->text());
            const qint64 last = ParseNumber(EditRechercheFin->text());
            if (!RangeHoldsAtLeast(first, last, kMinimumNumbers)) {
                EndRun();
                AfficherMessage(mtInformation, RangeTooSmallMessage(), this);
                return;
            }
            Generer(first, last);
        } else if (page == TabVerification) {
            Verifier(ParseNumber(EditVerification->text()));
        } else if (page == TabDecomposition) {
            Decomposer(ParseNumber(EditDecomposition->text()));
        }
    } catch (const CommandError &error) {
        RunFailed(ErrorText(error));
    }
}

bool TMainForm::TraitementEnCours() const
{
    return !run_->Idle();
}

bool TMainForm::ArretDemande() const
{
    return run_->State() == RunState::Stopping;
}

bool TMainForm::LoadingList() const
{
    return listLoader_->Loading();
}

void TMainForm::RunFailed(const QString &text)
{
    // The window is idle again before the box shows, so the next start is
    // accepted.
    EndRun();
    ShowError(text, this);
}

void TMainForm::EndRun()
{
    run_->End();
}

void TMainForm::ButtonStopClick()
{
    if (run_->State() != RunState::Running)
        return;
    if (AskToStop())
        SetBarPosition(0);
}

void TMainForm::RazDebut()
{
    // Outside a run, a list being built for the view no longer matters.
    if (run_->Idle())
        listLoader_->Forget();
    Editeur->Clear();
    SetElapsedText(QString());
    SetPercentText(QString());
    SetStateText(QString());
    SetBarPosition(0);
}

void TMainForm::RazFin()
{
    // A stop the user confirmed is heard; a cancelled dialog says nothing.
    const bool stopped = ArretDemande();
    // A stopped run leaves the view as it was.
    listLoader_->Forget();
    EndRun();
    ecrasementRefuse_ = false;
    // A stop confirmed at the last moment ends a list here, not in its end.
    if (desktop_)
        EndListSignals(nullptr);
    ShowRunStopped(*this);
    if (stopped)
        announcer_->Announce(StoppedAnnouncement());
}

void TMainForm::AnnounceReport()
{
    QStringList lines = Editeur->Lines();
    lines << StatusBar1->PanelText(3);
    announcer_->Announce(AnnouncementText(lines));
}

void TMainForm::SetProgressBar(qint64 maximum, qint64 minimum)
{
    if (maximum <= 0)
        return;
    ProgressBar1->setMaximum(ClampToInt(maximum));
    ProgressBar1->setMinimum(ClampToInt(minimum));
}

void TMainForm::UpdateProgressBar(qint64 position)
{
    // QProgressBar ignores a value outside its range; the bar this window
    // stands for keeps it at the nearest end instead.
    const qint64 kept = std::clamp<qint64>(position, ProgressBar1->minimum(), ProgressBar1->maximum());
    SetBarPosition(int(kept));
}

void TMainForm::SetBarPosition(int position)
{
    if (ProgressBar1->value() == position)
        return;
    // QProgressBar paints itself at once on every visible change; a run may
    // move it thousands of times a second, so the painting is left to the
    // next time messages are handled.
    ProgressBar1->setUpdatesEnabled(false);
    ProgressBar1->setValue(position);
    ProgressBar1->setUpdatesEnabled(true);
}

void TMainForm::Verifier(qint64 n)
{
    ShowRunStarted(*this);
    run_->Start([this, n](StopToken &stop, TRunController::Channel &channel) -> std::function<void()> {
        const VerificationResult result = engines_.verify(n, stop, [&](const VerificationCheckpoint &checkpoint) {
            channel.Progress([this, n, checkpoint] { ShowVerificationCheckpoint(*this, n, checkpoint); });
        });
        return [this, result] {
            if (result.stopped)
                return RazFin();
            if (ShowVerificationResult(*this, result))
                separator_.NumberReported();
            AnnounceReport();
            EndRun();
        };
    });
}

void TMainForm::Decomposer(qint64 n)
{
    ShowFactorisationStarted(*this, n);
    separator_.NumberReported();
    run_->Start([this, n](StopToken &stop, TRunController::Channel &channel) -> std::function<void()> {
        FactorisationEvents events;
        events.factor = [&](const PrimePower &power) { channel.Post([this, power] { ShowFactor(*this, power); }); };
        events.progress = [&](const FactorisationProgress &progress) {
            channel.Progress([this, progress] { ShowFactorisationProgress(*this, progress); });
        };
        const FactorisationResult result = engines_.factorise(n, stop, events);
        return [this, result] {
            if (result.stopped)
                return RazFin();
            ShowFactorisationResult(*this, result);
            AnnounceReport();
            EndRun();
        };
    });
}

void TMainForm::Generer(qint64 first, qint64 last)
{
    auto files = std::make_shared<TWorkerListHost>(sepMilliers_);
    const std::optional<ListRequest> request =
        PrepareList(*files, *this, first, last, EditRechercheDebut->text(), EditRechercheFin->text(),
                    separator_.Current());
    if (!request)
        return;
    if (!desktop_)
        desktop_ = new TDesktopSignals(this);
    restoredTitle_ = windowTitle();
    listLoader_->Foresee([files, request = *request, separators = sepMilliers_] {
        return files->ForeseenLastFile(request, separators->load(std::memory_order_relaxed));
    });
    run_->Start([this, files, request = *request](StopToken &stop, TRunController::Channel &channel)
                    -> std::function<void()> {
        files->SetCompletedFile([this, &channel, files] {
            channel.Post([this, files] {
                if (std::optional<ListFileHost::WrittenFile> completed = files->TakeCompleted())
                    listLoader_->Completed(*completed);
            });
        });
        const ListResult result = engines_.generate(*files, request, stop, [&](const ListProgress &progress) {
            channel.Progress([this, request, progress] {
                ShowListProgress(*this, request, progress);
                ShowListRemaining(request, progress);
            });
        });
        return [this, files, result] {
            dernierFichierTermine_ = files->DernierFichierTermine();
            EndListSignals(result.stopped || result.error ? nullptr : &result);
            if (result.stopped || result.error) {
                RazFin();
                if (result.error)
                    Inform(ErrorText(*result.error));
                else if (result.diskFull)
                    Inform(ErrorText(*result.diskFull));
                return;
            }
            listLoader_->ShowThen(files->LastWritten(), [this, result] {
                ShowListFinished(*this, result);
                Inform(ListReadyMessage(result.files));
                EndRun();
            });
        };
    });
}

void TMainForm::ShowListRemaining(const ListRequest &request, const ListProgress &progress)
{
    // The title changes a few times a second at most: its text follows the
    // percentage and the remaining time as rounded for a person.
    const QString title = ListWindowTitle(restoredTitle_, request, progress);
    if (title != windowTitle())
        setWindowTitle(title);
    desktop_->SetProgress(double(std::clamp<qint64>(ListPosition(request, progress), 0, 100)) / 100);
}

void TMainForm::EndListSignals(const ListResult *finished)
{
    setWindowTitle(restoredTitle_);
    desktop_->HideProgress();
    if (finished && finished->progress.elapsedMs > kNotifyAfterMs && !isActiveWindow())
        desktop_->NotifyListReady(finished->files, separator_.Current());
}

void TMainForm::SetReportAlignment(ParagraphAlignment alignment)
{
    Editeur->SetAlignment(alignment);
}

void TMainForm::AddReportLine(const QString &text, LineStyle style)
{
    Editeur->AddLine(text, style);
}

void TMainForm::SetElapsedText(const QString &text)
{
    StatusBar1->SetPanelText(kTimePanel, text);
}

void TMainForm::SetPercentText(const QString &text)
{
    StatusBar1->SetPanelText(kPercentPanel, text);
}

void TMainForm::SetStateText(const QString &text)
{
    StatusBar1->SetPanelText(kStatePanel, text);
}

std::optional<QString> TMainForm::ChooseFirstFile(const QString &proposedName)
{
    // Many accounts have no desktop folder; the dialog would then open in
    // whatever folder the program was started from.
    SaveDialog1->setDirectory(QFileInfo(desktopFolder_).isDir() ? desktopFolder_ : QDir::homePath());
    SaveDialog1->selectFile(proposedName);
    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty())
        return std::nullopt;
    return SaveDialog1->selectedFiles().constFirst();
}

bool TMainForm::VerifierSiEcrasementFichier(const QString &path)
{
    if (!QFileInfo::exists(path))
        return false;
    const QString question = ReplaceFileQuestion(path);
    ecrasementRefuse_ = !AskToReplace(question, this);
    return ecrasementRefuse_;
}

void TMainForm::Inform(const QString &text)
{
    AfficherMessage(mtInformation, text, this);
}

bool TMainForm::AskToResume(qint64 file)
{
    return DemanderConfirmation(mtConfirmation, ResumeQuestion(file), this);
}

bool TMainForm::AskToStartLongList(const QString &text)
{
    return DemanderConfirmation(mtConfirmation, text, this);
}
