// One thread of the window's own that runs jobs in the order they come,
// started by the first job. Its end lets the job under way finish and drops
// the others; a job posted after the end starts the thread again.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class QThread;

class TJobThread
{
public:
    // `name` names the thread (a literal of at most 15 bytes); `started`
    // runs first on it (to set its priority, say).
    TJobThread(const char *name, std::function<void()> started) : name_(name), started_(std::move(started)) {}
    ~TJobThread() { Stop(); }
    TJobThread(const TJobThread &) = delete;
    TJobThread &operator=(const TJobThread &) = delete;

    void Post(std::function<void()> job);
    // The thread's QThread, for objects moved to it; the thread starts if
    // it has not.
    QThread *Thread();
    // Lets the job under way finish, drops the others and ends the thread.
    // The next Post starts a new thread.
    void Stop();

private:
    void Run();

    const char *name_;
    std::function<void()> started_;
    std::thread thread_;
    QThread *qthread_ = nullptr;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> jobs_;
    bool quit_ = false;
};
