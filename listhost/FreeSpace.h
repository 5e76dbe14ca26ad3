// The free space of the file system a list is written to: whether a list
// fits before its first file, and whether the next file would eat into the
// reserve while it runs.
#pragma once

#include "core/CommandError.h"

#include <QString>
#include <QtGlobal>

class FreeSpace
{
public:
    // The file system holding folder (or its nearest existing parent).
    explicit FreeSpace(const QString &folder);

    // What is kept free for the other programs of the session: 1 GiB, or 2 %
    // of the disk when that is smaller.
    static quint64 ReserveFor(quint64 totalBytes);

    // Bytes the user may still write, as last read from the file system.
    quint64 Available() const { return available_; }
    quint64 Total() const { return total_; }
    quint64 Reserve() const { return ReserveFor(total_); }
    // False when the file system could not be read; then nothing is refused.
    bool Known() const { return known_; }

    // Whether a list of that many bytes leaves the reserve untouched.
    bool Fits(quint64 bytes) const;

    // While a list runs: bytes have just been written, and the next file
    // will take about nextBytes. True when that file would reach the reserve.
    // The file system is read again after every 64 MiB written, and more
    // often as the room left shrinks, so its cost stays far below the writes.
    bool WouldFill(quint64 writtenBytes, quint64 nextBytes);

    // The refusal of a list of that many bytes (NoRoom).
    CommandError Refusal(quint64 bytes) const;
    // Why a run stopped before filling the disk (DiskFull).
    CommandError Stop() const;

private:
    void Refresh();

    QString folder_;
    bool known_ = false;
    quint64 available_ = 0;
    quint64 total_ = 0;
    // Bytes written since the file system was last read.
    quint64 sinceRefresh_ = 0;
};
