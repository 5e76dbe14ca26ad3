// The single-instance guard: a name held for the life of the process, which
// the kernel releases when the process ends, however it ends.
#include "ui/startup/InstanceGuard.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// A socket bound to a name in the abstract namespace is visible to every
// user of the machine, leaves no file behind, and its name is freed by the
// kernel with the last descriptor, so a killed instance never blocks the
// next start.
TInstanceGuard::TInstanceGuard(const QByteArray &name)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() + 1 > qsizetype(sizeof(address.sun_path)))
        return;
    address.sun_path[0] = '\0';
    std::memcpy(address.sun_path + 1, name.constData(), size_t(name.size()));
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(name.size()));

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), length) != 0) {
        taken_ = errno == EADDRINUSE;
        ::close(fd);
        return;
    }
    fd_ = fd;
}

TInstanceGuard::~TInstanceGuard()
{
    if (fd_ >= 0)
        ::close(fd_);
}
