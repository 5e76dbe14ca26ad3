// The free space of the file system a list is written to: whether a list
// fits before its first file, and whether the next file would eat into the
// reserve while it runs.
#include "listhost/FreeSpace.h"

#include "core/ListEstimate.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace {

constexpr quint64 kGiB = 1024ULL * 1024 * 1024;
constexpr quint64 kRefreshBytes = 64ULL * 1024 * 1024;

// The folder itself, or the nearest parent that exists: a folder the save
// dialog is about to create still has a file system.
QString ExistingFolder(const QString &folder)
{
    QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    while (!QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(path).absolutePath();
        if (parent == path)
            break;
        path = parent;
    }
    return path;
}

} // namespace

FreeSpace::FreeSpace(const QString &folder) : folder_(ExistingFolder(folder))
{
    Refresh();
}

quint64 FreeSpace::ReserveFor(quint64 totalBytes)
{
    return std::min(kGiB, totalBytes / 50);
}

void FreeSpace::Refresh()
{
    QStorageInfo storage(folder_);
    storage.refresh();
    known_ = storage.isValid() && storage.isReady() && storage.bytesTotal() > 0;
    available_ = known_ ? quint64(std::max<qint64>(storage.bytesAvailable(), 0)) : 0;
    total_ = known_ ? quint64(storage.bytesTotal()) : 0;
    sinceRefresh_ = 0;
}

bool FreeSpace::Fits(quint64 bytes) const
{
    if (!known_)
        return true;
    const quint64 reserve = Reserve();
    return available_ >= reserve && bytes <= available_ - reserve;
}

bool FreeSpace::WouldFill(quint64 writtenBytes, quint64 nextBytes)
{
    if (!known_)
        return false;
    sinceRefresh_ += writtenBytes;
    const quint64 reserve = Reserve();
    const quint64 believed = available_ > sinceRefresh_ ? available_ - sinceRefresh_ : 0;
    const quint64 room = believed > reserve ? believed - reserve : 0;
    // Read again after 64 MiB, or once a quarter of the room left is used:
    // far from the reserve that is rare, near it every file.
    if (sinceRefresh_ >= std::min(kRefreshBytes, room / 4) || room < nextBytes)
        Refresh();
    const quint64 now = available_ > sinceRefresh_ ? available_ - sinceRefresh_ : 0;
    return now < reserve || nextBytes > now - reserve;
}

CommandError FreeSpace::Refusal(quint64 bytes) const
{
    return CommandError::NoRoom(folder_, bytes, available_, Reserve());
}

CommandError FreeSpace::Stop() const
{
    return CommandError::DiskFull(folder_, available_);
}
