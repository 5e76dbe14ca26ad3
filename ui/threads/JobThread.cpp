// One thread of the window's own that runs jobs in the order they come.
#include "ui/threads/JobThread.h"

#include "core/ThreadName.h"

#include <QThread>

#include <future>

void TJobThread::Stop()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
    std::lock_guard lock(mutex_);
    jobs_.clear();
    quit_ = false;
}

QThread *TJobThread::Thread()
{
    if (thread_.joinable())
        return qthread_;
    std::promise<QThread *> started;
    std::future<QThread *> qthread = started.get_future();
    thread_ = std::thread([this, &started] {
        NameThisThread(name_);
        if (started_)
            started_();
        started.set_value(QThread::currentThread());
        Run();
    });
    qthread_ = qthread.get();
    return qthread_;
}

void TJobThread::Post(std::function<void()> job)
{
    Thread();
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    changed_.notify_all();
}

void TJobThread::Run()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return quit_ || !jobs_.empty(); });
            if (quit_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}
