// The file operations of a list run, in order, on a thread of their own or
// on the caller's.
#include "core/ListFileWork.h"

#include "core/ThreadName.h"

namespace {

// Operations waiting at most: about two completed files (each is written,
// announced, and the next one created), so that the run's buffers stay few.
constexpr std::size_t kMaxQueued = 6;

} // namespace

ListFileWork::ListFileWork(bool threaded) : threaded_(threaded)
{
    // The thread is started by the first operation.
}

ListFileWork::~ListFileWork()
{
    if (!thread_.joinable())
        return;
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ListFileWork::Run(Queued &queued)
{
    try {
        queued.operation();
    } catch (...) {
        const std::lock_guard lock(mutex_);
        failure_ = Failure{std::current_exception(), queued.k, queued.file};
    }
}

bool ListFileWork::Post(qint64 k, const QString &file, Operation operation)
{
    if (!threaded_) {
        if (failure_)
            return false;
        Queued queued{k, file, std::move(operation)};
        Run(queued);
        return !failure_;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return failure_ || queue_.size() < kMaxQueued; });
    if (failure_)
        return false;
    queue_.push_back({k, file, std::move(operation)});
    if (!thread_.joinable())
        thread_ = std::thread([this] {
            NameThisThread("tvr-files");
            Work();
        });
    lock.unlock();
    changed_.notify_all();
    return true;
}

bool ListFileWork::Drain()
{
    std::unique_lock lock(mutex_);
    // A failure drops what was queued after it, but the operation under way
    // when it was seen still ends first.
    changed_.wait(lock, [this] { return !busy_ && (failure_ || queue_.empty()); });
    return !failure_;
}

bool ListFileWork::Failed() const
{
    const std::lock_guard lock(mutex_);
    return failure_.has_value();
}

void ListFileWork::Work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        // Whatever is queued is done before the thread ends.
        changed_.wait(lock, [this] { return quit_ || !queue_.empty(); });
        if (queue_.empty())
            return;
        Queued queued = std::move(queue_.front());
        queue_.pop_front();
        if (failure_)
            continue;
        busy_ = true;
        lock.unlock();
        Run(queued);
        // What the operation held, such as the bytes of a file, is let go
        // before the run hears that it is done.
        queued = {};
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}
