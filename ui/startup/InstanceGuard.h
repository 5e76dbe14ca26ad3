// The single-instance guard: a name held for the life of the process, which
// the kernel releases when the process ends, however it ends.
#pragma once

#include <QByteArray>

class TInstanceGuard
{
public:
    // Tries to take the name. Only a name held by another process counts as
    // another instance; any other failure lets the program start.
    explicit TInstanceGuard(const QByteArray &name);
    ~TInstanceGuard();
    TInstanceGuard(const TInstanceGuard &) = delete;
    TInstanceGuard &operator=(const TInstanceGuard &) = delete;

    bool Held() const { return fd_ >= 0; }
    bool AnotherInstance() const { return taken_; }

private:
    int fd_ = -1;
    bool taken_ = false;
};
