// A wake-up of the window's thread from any other thread, without posting to
// its event queue: the other thread writes to an eventfd, which the window's
// event loop watches. What the wake announces is handed over elsewhere,
// under a lock of the caller's own; the wake only says "look now".
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

class TThreadWake : public QObject
{
    Q_OBJECT

public:
    // `woken` runs on the thread that owns this object, once for one or
    // more wakes since it last ran.
    explicit TThreadWake(std::function<void()> woken, QObject *parent = nullptr);
    ~TThreadWake() override;

    // From any thread. Without an eventfd it does nothing, and the caller's
    // timer alone fetches what was handed over.
    void Wake();

private:
    void Woken();

    int descriptor_ = -1;
    QSocketNotifier *notifier_ = nullptr;
    std::function<void()> woken_;
};
