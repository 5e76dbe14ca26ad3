// The run control of the main window: one computation at a time on a worker
// thread, the stop question's hold on it, and the hand-over of what it
// shows to the window's thread.
#pragma once

#include "core/StopToken.h"
#include "ui/ThreadWake.h"

#include <QObject>
#include <QTimer>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Idle: nothing runs. Running: a run was started (its dialogs may still be
// open) or computes. AskingToStop: the stop or close question is open and
// the computation waits at its next checkpoint. Stopping: the stop was
// confirmed; the computation ends at that checkpoint.
enum class RunState { Idle, Running, AskingToStop, Stopping };

class TRunController : public QObject
{
    Q_OBJECT

public:
    // What the computation hands to the window's thread, from its own.
    class Channel
    {
    public:
        // Shown in the order posted: a report line, a completed file.
        // The window takes them every few milliseconds.
        void Post(std::function<void()> event);
        // Shown once the events before it are: the newest progress replaces
        // one not shown yet, since only the latest state matters.
        void Progress(std::function<void()> show);

    private:
        friend class TRunController;
        explicit Channel(TRunController &owner) : owner_(owner) {}
        TRunController &owner_;
    };

    // The computation: runs on the worker thread and returns what the
    // window does once it has ended (a report, RazFin), which calls End when
    // all is shown. A CommandError it raises ends the run and goes to the
    // error handler instead; a stop confirmed after it ended goes to the
    // stop handler.
    using Work = std::function<std::function<void()>(StopToken &stop, Channel &channel)>;
    using ErrorHandler = std::function<void(const QString &text)>;
    using StopHandler = std::function<void()>;

    explicit TRunController(QObject *parent = nullptr);
    ~TRunController() override;

    void SetHandlers(ErrorHandler error, StopHandler stopped)
    {
        errorHandler_ = std::move(error);
        stoppedHandler_ = std::move(stopped);
    }

    RunState State() const { return state_; }
    bool Idle() const { return state_ == RunState::Idle; }

    // A start: Begin before the run's dialogs, Start once its computation
    // can go, End when everything it shows has been shown (or the dialogs
    // were cancelled).
    //
    // A computation that ends within a few milliseconds is shown before
    // Start returns, as if it had run on the window's thread: the window
    // waits that long for it, and no longer, without computing anything.
    void Begin();
    void Start(Work work);
    void End();

    // The stop question: while it is open, the computation waits at its
    // next checkpoint (and before it ends), so it never finishes behind the
    // question. `stop` confirms.
    void QuestionOpened();
    void QuestionAnswered(bool stop);

    // The window closes: the computation stops at once, the worker is waited
    // for, and what it still had to show is dropped.
    void StopAndWait();

private:
    void Deliver();
    void Join();

    RunState state_ = RunState::Idle;
    std::shared_ptr<StopToken> stop_;
    std::thread worker_;
    ErrorHandler errorHandler_;
    StopHandler stoppedHandler_;
    Channel channel_{*this};

    // Hand-over from the worker: events in order, the newest progress, and
    // what follows the end of the computation.
    std::mutex mutex_;
    std::vector<std::function<void()>> events_;
    std::function<void()> progress_;
    std::function<void()> ended_;
    std::condition_variable endedChanged_;
    static constexpr int kSettleMs = 2;
    // What the computation hands over is taken this often.
    static constexpr int kFetchIntervalMs = 10;
    QTimer fetchTimer_;
    // The end of the computation is shown as soon as it comes, not at the
    // next fetch.
    TThreadWake endWake_{[this] { Deliver(); }, this};
};
