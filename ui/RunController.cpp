// The run control of the main window: one computation at a time on a worker
// thread, the stop question's hold on it, and the hand-over of what it
// shows to the window's thread.
#include "ui/RunController.h"

#include "core/CommandError.h"
#include "core/ThreadName.h"
#include "core/WorkerPriority.h"
#include "presentation/Messages.h"

#include <new>

void TRunController::Channel::Post(std::function<void()> event)
{
    std::lock_guard lock(owner_.mutex_);
    owner_.events_.push_back(std::move(event));
}

void TRunController::Channel::Progress(std::function<void()> show)
{
    std::lock_guard lock(owner_.mutex_);
    owner_.progress_ = std::move(show);
}

TRunController::TRunController(QObject *parent)
    : QObject(parent)
{
    // The window fetches what the computation left for it at the pace of
    // the screen, rather than at every checkpoint, which may come every few
    // microseconds. The worker never posts to the window's thread, so every
    // hand-over goes through the lock of this object.
    fetchTimer_.setInterval(kFetchIntervalMs);
    connect(&fetchTimer_, &QTimer::timeout, this, &TRunController::Deliver);
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
    fetchTimer_.start();
    worker_ = std::thread([this, work = std::move(work), stop = stop_] {
        NameThisThread("tvr-run");
        LowerWorkerPriority();
        std::function<void()> ended;
        try {
            ended = work(*stop, channel_);
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
                    errorHandler_(QStringLiteral("La mémoire a manqué pour terminer le traitement"));
            };
        }
        // A question opened at the last moment is answered before the end
        // shows; a confirmed stop then wins over a finished computation.
        if (stop->Checkpoint())
            ended = [this] { stoppedHandler_(); };
        {
            std::lock_guard lock(mutex_);
            ended_ = std::move(ended);
        }
        endedChanged_.notify_all();
        endWake_.Wake();
    });
    std::unique_lock lock(mutex_);
    if (endedChanged_.wait_for(lock, std::chrono::milliseconds(kSettleMs), [this] { return bool(ended_); })) {
        lock.unlock();
        Deliver();
    }
}

void TRunController::End()
{
    state_ = RunState::Idle;
    fetchTimer_.stop();
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
    std::lock_guard lock(mutex_);
    events_.clear();
    progress_ = nullptr;
    ended_ = nullptr;
    state_ = RunState::Idle;
    fetchTimer_.stop();
}

void TRunController::Deliver()
{
    std::vector<std::function<void()>> events;
    std::function<void()> progress;
    std::function<void()> ended;
    {
        std::lock_guard lock(mutex_);
        events.swap(events_);
        progress = std::exchange(progress_, nullptr);
        ended = std::exchange(ended_, nullptr);
    }
    for (const auto &event : events)
        event();
    if (progress)
        progress();
    if (ended) {
        Join();
        ended();
    }
}

void TRunController::Join()
{
    if (worker_.joinable())
        worker_.join();
}
