// The one way from a worker thread to the window's thread: events shown in
// the order posted, a newest-only progress slot, and one wake of the
// window's thread each time the mailbox stops being empty.
#pragma once

#include <QObject>

#include <functional>
#include <mutex>
#include <vector>

class QSocketNotifier;

class TMailbox : public QObject
{
    Q_OBJECT

public:
    using Event = std::function<void()>;

    // Everything posted runs on the thread that owns the mailbox.
    explicit TMailbox(QObject *parent = nullptr);
    ~TMailbox() override;
    TMailbox(const TMailbox &) = delete;
    TMailbox &operator=(const TMailbox &) = delete;

    // From any thread. Events run in the order posted; the progress runs
    // after the events posted before it, and a newer progress replaces one
    // that has not run yet, since only the latest state matters.
    void Post(Event event);
    void Progress(Event show);

    // On the owner's thread: runs what is pending now. The wake calls it;
    // the owner calls it too where it must see everything posted so far.
    void Deliver();
    // On the owner's thread: drops what is pending, unrun.
    void Clear();

    // How often the owner's thread was woken; a burst of posts between two
    // deliveries wakes it once.
    quint64 Wakes() const;

signals:
    // Before each batch of what was posted runs.
    void Delivering();

private:
    void Woken();
    void WakeIfFirst(std::unique_lock<std::mutex> &lock);

    mutable std::mutex mutex_;
    std::vector<Event> events_;
    Event progress_;
    // The progress runs before events_[progressAt_] and the events after it.
    std::size_t progressAt_ = 0;
    // Set from the first post after a delivery until the next delivery:
    // later posts of the same burst do not wake the owner again.
    bool awake_ = false;
    quint64 wakes_ = 0;
    // The owner's own: whether it is delivering, and how often it cleared
    // the mailbox, so that a clear from an event ends that event's batch.
    bool delivering_ = false;
    quint64 clears_ = 0;
    // An eventfd the owner's event loop watches: written by the worker,
    // read by the owner, it carries no data; what it announces is under
    // mutex_, which is what orders the two threads.
    int descriptor_ = -1;
    QSocketNotifier *notifier_ = nullptr;
};
