// A wake-up of the window's thread through an eventfd.
#include "ui/ThreadWake.h"

#include <QSocketNotifier>

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

TThreadWake::TThreadWake(std::function<void()> woken, QObject *parent)
    : QObject(parent), woken_(std::move(woken))
{
    descriptor_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (descriptor_ < 0)
        return;
    notifier_ = new QSocketNotifier(descriptor_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TThreadWake::Woken);
}

TThreadWake::~TThreadWake()
{
    delete notifier_;
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

void TThreadWake::Wake()
{
    if (descriptor_ < 0)
        return;
    const std::uint64_t one = 1;
    // The counter only fails to grow when it is full, and then a wake is
    // pending anyway.
    [[maybe_unused]] const ssize_t written = ::write(descriptor_, &one, sizeof one);
}

void TThreadWake::Woken()
{
    // Reading resets the counter: wakes that came meanwhile are one.
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = ::read(descriptor_, &count, sizeof count);
    woken_();
}
