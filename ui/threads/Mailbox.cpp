// The one way from a worker thread to the window's thread.
#include "ui/threads/Mailbox.h"

#include <QMetaObject>
#include <QSocketNotifier>

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>

TMailbox::TMailbox(QObject *parent)
    : QObject(parent)
{
    descriptor_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (descriptor_ < 0)
        return;
    notifier_ = new QSocketNotifier(descriptor_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TMailbox::Woken);
}

TMailbox::~TMailbox()
{
    delete notifier_;
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

void TMailbox::Post(Event event)
{
    std::unique_lock lock(mutex_);
    events_.push_back(std::move(event));
    WakeIfFirst(lock);
}

void TMailbox::Progress(Event show)
{
    std::unique_lock lock(mutex_);
    progress_ = std::move(show);
    progressAt_ = events_.size();
    WakeIfFirst(lock);
}

void TMailbox::WakeIfFirst(std::unique_lock<std::mutex> &lock)
{
    if (std::exchange(awake_, true))
        return;
    ++wakes_;
    lock.unlock();
    if (descriptor_ >= 0) {
        const std::uint64_t one = 1;
        // The counter only fails to grow when it is full, and a wake is
        // pending then anyway.
        [[maybe_unused]] const ssize_t written = ::write(descriptor_, &one, sizeof one);
    } else {
        // Without an eventfd, a queued call wakes the owner instead.
        QMetaObject::invokeMethod(this, &TMailbox::Deliver, Qt::QueuedConnection);
    }
}

void TMailbox::Woken()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = ::read(descriptor_, &count, sizeof count);
    Deliver();
}

void TMailbox::Deliver()
{
    // An event may open a modal box, whose event loop wakes the mailbox
    // again: what comes meanwhile waits for the events before it.
    if (delivering_)
        return;
    delivering_ = true;
    for (;;) {
        std::vector<Event> events;
        Event progress;
        std::size_t progressAt = 0;
        {
            std::lock_guard lock(mutex_);
            if (events_.empty() && !progress_) {
                awake_ = false;
                break;
            }
            events.swap(events_);
            progress = std::exchange(progress_, nullptr);
            progressAt = std::exchange(progressAt_, 0);
        }
        emit Delivering();
        const quint64 clears = clears_;
        for (std::size_t i = 0; i < events.size() && clears == clears_; ++i) {
            if (i == progressAt && progress)
                std::exchange(progress, nullptr)();
            events[i]();
        }
        if (progress && clears == clears_)
            progress();
    }
    delivering_ = false;
}

void TMailbox::Clear()
{
    ++clears_;
    std::vector<Event> events;
    Event progress;
    {
        std::lock_guard lock(mutex_);
        events.swap(events_);
        progress = std::exchange(progress_, nullptr);
        progressAt_ = 0;
    }
    // Destroyed outside the lock: what they hold may post nothing, but its
    // destructors are not ours to know.
}

quint64 TMailbox::Wakes() const
{
    std::lock_guard lock(mutex_);
    return wakes_;
}
