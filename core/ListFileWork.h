// The file operations of a list run, in the order the run asks for them.
// With a host whose files may be written from another thread, they run on
// a thread of the run's own, so that writing a completed file overlaps with
// formatting the next one; otherwise at once, on the caller's thread.
#pragma once

#include <QString>

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class ListFileWork
{
public:
    // The first operation that failed, and the file the run was at then.
    // The operations queued after it are dropped: the run ends there, as if
    // it had waited for that operation.
    struct Failure {
        std::exception_ptr error;
        qint64 k = 0;
        QString file;
    };
    using Operation = std::function<void()>;

    explicit ListFileWork(bool threaded);
    // Waits for the operations queued: files the run completed stay whole.
    ~ListFileWork();
    ListFileWork(const ListFileWork &) = delete;
    ListFileWork &operator=(const ListFileWork &) = delete;

    // Queues an operation of file k, waiting while a few are queued already;
    // false once an operation has failed.
    bool Post(qint64 k, const QString &file, Operation operation);
    // Waits until every operation queued is done; false once one failed.
    bool Drain();
    // Whether an operation has failed so far, without waiting.
    bool Failed() const;
    // After Post or Drain returned false.
    const Failure &TheFailure() const { return *failure_; }

private:
    struct Queued {
        qint64 k;
        QString file;
        Operation operation;
    };

    void Run(Queued &queued);
    void Work();

    const bool threaded_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Queued> queue_;
    bool busy_ = false;
    bool quit_ = false;
    std::optional<Failure> failure_;
    std::thread thread_;
};
