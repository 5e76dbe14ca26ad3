// The run of one prime list: its files, the number lines of the current
// file, and the progress it reports, from the first prime to the last
// file's header. GenerateList drives it.
#pragma once

#include "core/Generation.h"
#include "core/ListFileWork.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <array>
#include <cstddef>
#include <optional>
#include <utility>

// The run: its files, the number lines of the current file, and the status
// it keeps up to date. The sieving runs on a worker (PrimeSource), and the
// file operations go through the run's file work, on a thread of their own
// when the host allows it; the formatting and the rest happen on the
// caller's thread.
class ListRun
{
public:
    // How a run ends. FileFailed: a file operation failed, or found the disk
    // about to be full; what failed is in the run's file work.
    enum class Outcome { Finished, Stopped, FileFailed };

    ListRun(ListHost &host, const ListRequest &request, StopToken &stop, const ListProgressFn &progress)
        : host_(host), stop_(stop), progress_(progress), first_(request.first), last_(request.last),
          baseName_(request.baseName), firstFile_(request.firstFile), currentFile_(request.firstFile),
          work_(host.FilesOffThread())
    {
        // A resumed run starts at the first number of its file's slice;
        // files before it are on disk already.
        const quint64 kept = ListFilesKept(request);
        from_ = ListFirstSieved(request);
        if (kept > 0) {
            k_ = qint64(kept);
            bound_ = from_;
            // No file is open until the slice's first prime opens file k.
            open_ = false;
        } else {
            bound_ = from_ + kNumbersPerFile;
        }
    }

    void Start();
    Outcome Loop();
    bool Finish();
    bool Stop();
    // Waits for the file operations queued; false once one failed.
    bool Drain() { return work_.Drain(); }
    ListResult Result(bool stopped) const;
    // After the outcome FileFailed: the run as it ended at the file whose
    // operation failed.
    ListResult FailureResult();

private:
    std::optional<Outcome> Checkpoint();
    bool Post(ListFileWork::Operation operation) { return work_.Post(k_, currentFile_, std::move(operation)); }
    bool Complete();
    ListProgress Progress() const;
    bool Store(const quint64 *primes, std::size_t count);
    void Append(const quint64 *primes, std::size_t count);
    bool Switch(quint64 prime);
    const QByteArray &Body();
    QByteArray NextBuffer(QByteArray &&written);

    ListHost &host_;
    StopToken &stop_;
    const ListProgressFn &progress_;
    qint64 first_;
    qint64 last_;
    QString baseName_;
    QString firstFile_;
    QString currentFile_;
    qint64 k_ = 1;
    // The first number sieved, and whether a file of the run is open (a
    // resumed run has none until its first prime).
    quint64 from_ = 0;
    bool open_ = true;
    // Primes at or above bound_ belong to the next file.
    quint64 bound_ = 0;
    // Bytes written since the free space was last consulted.
    quint64 written_ = 0;

    // Number lines of the current file, written when it is complete, and
    // what the file holds on disk meanwhile (kept for a stop).
    QByteArray body_;
    // Buffers of completed files, oldest first; the oldest is taken again.
    std::array<QByteArray, 5> buffers_;
    qsizetype used_ = 0;
    qint64 count_ = 0;
    QByteArray onDisk_;
    qint64 onDiskCount_ = 0;

    bool separators_ = false;
    QByteArray separatorBytes_;
    bool handledAny_ = false;
    quint64 lastHandled_ = 0;
    QElapsedTimer clock_;
    QElapsedTimer sinceCheckpoint_;
    // Last, so that its thread ends first.
    ListFileWork work_;
};
