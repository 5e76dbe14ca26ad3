// The run control of the main window: one computation at a time on a worker
// thread, the stop question's hold on it, and the hand-over of what it
// shows to the window's thread.
#include "ui/threads/RunController.h"

#include "core/CommandError.h"
#include "core/ThreadName.h"
#include "core/WorkerPriority.h"
#include "presentation/Messages.h"
#include "presentation/WindowMessages.h"

#include <new>

TRunController::TRunController(QObject *parent)
    : QObject(parent)
{
    frameTimer_.setSingleShot(true);
    frameTimer_.setInterval(kFrameMs);
    connect(&frameTimer_, &QTimer::timeout, this, &TRunController::ReleasePaint);
    connect(&mailbox_, &TMailbox::Delivering, this, &TRunController::ReleasePaint);
}

TRunController::~TRunController()
{
    StopAndWait();
}

void TRunController::Begin()
{
    state_ = RunState::Running;
    stop_ = std::make_shared<StopToken>();
}

void TRunController::Start(Work work)
{
    Join();
    worker_ = std::thread([this, work = std::move(work), stop = stop_] {
        NameThisThread("tvr-run");
        LowerWorkerPriority();
        std::function<void()> ended;
        try {
            ended = work(*stop, mailbox_);
        } catch (const CommandError &error) {
            ended = [this, text = ErrorText(error)] {
                End();
                if (errorHandler_)
                    errorHandler_(text);
            };
        } catch (const std::bad_alloc &) {
            ended = [this] {
                End();
                if (errorHandler_)
                    errorHandler_(RunOutOfMemoryMessage());
            };
        }
        // A question opened at the last moment is answered before the end
        // shows; a confirmed stop then wins over a finished computation.
        if (stop->Checkpoint())
            ended = [this] { stoppedHandler_(); };
        // The last thing this thread does: the window joins it first.
        mailbox_.Post([this, ended = std::move(ended)] {
            Join();
            ended();
        });
    });
}

void TRunController::End()
{
    state_ = RunState::Idle;
    ReleasePaint();
}

void TRunController::HoldPaint()
{
    if (!paintHold_ || std::exchange(paintHeld_, true))
        return;
    paintHold_(true);
    frameTimer_.start();
}

void TRunController::ReleasePaint()
{
    frameTimer_.stop();
    if (std::exchange(paintHeld_, false) && paintHold_)
        paintHold_(false);
}

void TRunController::QuestionOpened()
{
    state_ = RunState::AskingToStop;
    stop_->Hold();
}

void TRunController::QuestionAnswered(bool stop)
{
    state_ = stop ? RunState::Stopping : RunState::Running;
    stop_->Release(stop);
}

void TRunController::StopAndWait()
{
    if (stop_)
        stop_->RequestStop();
    Join();
    mailbox_.Clear();
    state_ = RunState::Idle;
    ReleasePaint();
}

void TRunController::Join()
{
    if (worker_.joinable())
        worker_.join();
}
