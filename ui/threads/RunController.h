// The run control of the main window: one computation at a time on a worker
// thread, the stop question's hold on it, and the hand-over of what it
// shows to the window's thread.
#pragma once

#include "core/StopToken.h"
#include "ui/threads/Mailbox.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <thread>

// Idle: nothing runs. Running: a run was started (its dialogs may still be
// open) or computes. AskingToStop: the stop or close question is open and
// the computation waits at its next checkpoint. Stopping: the stop was
// confirmed; the computation ends at that checkpoint.
enum class RunState { Idle, Running, AskingToStop, Stopping };

class TRunController : public QObject
{
    Q_OBJECT

public:
    // What the computation hands to the window's thread, from its own:
    // the window's mailbox.
    using Channel = TMailbox;

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
    // HoldPaint, as a start begins, holds the painting of what a run
    // changes until the computation first hands something over, the run
    // ends, or one frame has passed: a run that ends within that time
    // shows its end only, with no flash of its start.
    using PaintHold = std::function<void(bool held)>;
    void SetPaintHold(PaintHold hold) { paintHold_ = std::move(hold); }
    void HoldPaint();

    RunState State() const { return state_; }
    bool Idle() const { return state_ == RunState::Idle; }

    // A start: Begin before the run's dialogs, Start once its computation
    // can go, End when everything it shows has been shown (or the dialogs
    // were cancelled). Start returns at once.
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
    void Join();
    void ReleasePaint();

    RunState state_ = RunState::Idle;
    std::shared_ptr<StopToken> stop_;
    std::thread worker_;
    ErrorHandler errorHandler_;
    StopHandler stoppedHandler_;
    PaintHold paintHold_;
    bool paintHeld_ = false;
    // One frame at 60 Hz.
    static constexpr int kFrameMs = 16;
    QTimer frameTimer_;
    // Events in order, the newest progress, and the end of the computation
    // as the last event.
    TMailbox mailbox_{this};
};
