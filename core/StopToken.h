// How a computation on a worker thread learns that it must stop, and waits
// while the user is asked whether to stop.
#pragma once

#include <condition_variable>
#include <mutex>

// Shared by the thread that shows a run and the thread that computes it.
// The computation calls Checkpoint() at each of its checkpoints: it returns
// at once while nobody holds the run, waits while a stop question is open,
// and says whether the run must end there.
class StopToken
{
public:
    // A stop question opens: the next checkpoint waits for its answer, so
    // the run never finishes behind the question.
    void Hold()
    {
        std::lock_guard lock(mutex_);
        held_ = true;
    }
    // The question is answered; `stop` ends the run at the checkpoint that
    // waits (or at the next one).
    void Release(bool stop)
    {
        {
            std::lock_guard lock(mutex_);
            held_ = false;
            stop_ = stop_ || stop;
        }
        changed_.notify_all();
    }
    // Stops without a question (the window closes).
    void RequestStop() { Release(true); }

    bool StopRequested() const
    {
        std::lock_guard lock(mutex_);
        return stop_;
    }

    // Computation side: true when the run must end at this checkpoint.
    bool Checkpoint()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !held_ || stop_; });
        return stop_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool stop_ = false;
};
