// The run of one prime list: primes from the sieve's worker, formatted into
// the current file's number lines, completed files written through the
// run's file work.
#include "core/ListRun.h"

#include "core/CommandError.h"
#include "core/PrimeSource.h"
#include "core/PrimeText.h"
#include "core/StopToken.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

// A checkpoint at least this often while primes arrive: the progress shown,
// the grouping asked again, and the stop token consulted. The clock is
// read after each block of the sieve (well under a millisecond of
// formatting); completed files are written meanwhile, on the file work's
// thread.
constexpr qint64 kCheckpointIntervalNs = 4'000'000;

// Thrown by the operation that finds the disk about to be full, once it has
// left the file as it was on disk under its header.
struct DiskFullStop {
};

} // namespace

void ListRun::Start()
{
    if (open_) {
        Post([&host = host_, file = currentFile_] { host.CreateFile(file, QByteArray()); });
        // A first file that cannot be created ends the run before any
        // progress shows.
        work_.Drain();
    }
    clock_.start();
}

ListProgress ListRun::Progress() const
{
    return {handledAny_, lastHandled_, clock_.elapsed()};
}

// Whether the run ends at this checkpoint, and how.
std::optional<ListRun::Outcome> ListRun::Checkpoint()
{
    // A file operation that failed meanwhile ends the run where it failed,
    // before more progress shows.
    if (work_.Failed())
        return Outcome::FileFailed;
    progress_(Progress());
    // A change of the grouping takes effect for the primes stored from
    // this checkpoint on.
    separators_ = host_.LinesGrouped();
    sinceCheckpoint_.start();
    if (stop_.Checkpoint())
        return Outcome::Stopped;
    return std::nullopt;
}

ListRun::Outcome ListRun::Loop()
{
    separators_ = host_.LinesGrouped();
    separatorBytes_ = host_.SeparatorBytes().left(4);
    sinceCheckpoint_.start();
    if (work_.Failed())
        return Outcome::FileFailed;
    if (last_ < first_)
        return Outcome::Finished;
    if (from_ > quint64(last_))
        return Outcome::Finished;
    PrimeSource source{from_, quint64(last_)};
    PrimeSource::Block block;
    for (;;) {
        const qint64 dueNs = std::max<qint64>(0, kCheckpointIntervalNs - sinceCheckpoint_.nsecsElapsed());
        if (!source.Next(block, std::chrono::microseconds(dueNs / 1000))) {
            if (const std::optional<Outcome> end = Checkpoint())
                return *end;
            continue;
        }
        if (block.failed)
            throw CommandError::OutOfMemory();
        const qint64 fileBefore = k_;
        if (!Store(block.primes.data(), block.primes.size()))
            return Outcome::FileFailed;
        // A block that switched files ends at a checkpoint too: a stop asked
        // when a file completes lands in the next file on any machine, and
        // "Sep. milliers" is read again there.
        if (k_ != fileBefore || sinceCheckpoint_.nsecsElapsed() >= kCheckpointIntervalNs) {
            if (const std::optional<Outcome> end = Checkpoint())
                return *end;
        }
        if (block.last)
            return Outcome::Finished;
        source.Recycle(std::move(block.primes));
    }
}

// False once a file operation failed.
bool ListRun::Store(const quint64 *primes, std::size_t count)
{
    while (count > 0) {
        // Primes are in increasing order: those below the slice bound go to
        // the current file, the first one at or above it starts the next.
        const quint64 *end = primes + count;
        const quint64 *below = std::lower_bound(primes, end, bound_);
        Append(primes, std::size_t(below - primes));
        if (below == end)
            break;
        if (!Switch(*below))
            return false;
        count = std::size_t(end - below - 1);
        primes = below + 1;
    }
    return true;
}

void ListRun::Append(const quint64 *primes, std::size_t count)
{
    if (count == 0)
        return;
    // The bytes needed exactly: the array's end is touched when it is
    // resized, and every page touched for the first time costs a fault.
    const int sepLength = separators_ ? int(separatorBytes_.size()) : 0;
    const qsizetype needed = qsizetype(PrimeText::LinesLength(primes, primes + count, sepLength));
    if (body_.size() - used_ < needed)
        body_.resize(std::max(body_.size() * 2, used_ + needed));
    char *const begin = body_.data() + used_;
    char *const out = PrimeText::Lines(primes, primes + count, begin, separatorBytes_.constData(), sepLength);
    used_ += out - begin;
    count_ += qint64(count);
    handledAny_ = true;
    lastHandled_ = primes[count - 1];
}

QByteArray ListRun::NextBuffer(QByteArray &&written)
{
    // The file just written is shared by its file operation and by the host
    // until its next file, and perhaps by a view still laying it out. The
    // buffer of the file five files back is taken again, so that its pages,
    // already mapped, are not faulted in afresh for every file; emptied
    // without a copy. A view still holding it keeps its own bytes: a shared
    // QByteArray is copied before it is written, so the run then gets a new
    // buffer instead.
    QByteArray oldest = std::exchange(buffers_.front(), QByteArray());
    std::rotate(buffers_.begin(), buffers_.begin() + 1, buffers_.end());
    buffers_.back() = std::move(written);
    oldest.resize(0);
    return oldest;
}

const QByteArray &ListRun::Body()
{
    body_.resize(used_);
    return body_;
}

// Writes the current file whole, unless it would reach the space kept free
// on the disk: the file then gets its header over what it holds on disk,
// and the run stops there. False once a file operation failed.
bool ListRun::Complete()
{
    // The header adds less than a hundred bytes to the number lines.
    const quint64 next = quint64(used_) + 128;
    const quint64 written = std::exchange(written_, next);
    return Post([&host = host_, file = currentFile_, lines = Body(), count = count_, onDisk = onDisk_,
                 onDiskCount = onDiskCount_, written, next] {
        if (host.DiskNearlyFull(file, written, next)) {
            host.WriteListFile(file, onDisk, onDiskCount);
            throw DiskFullStop{};
        }
        host.WriteListFile(file, lines, count);
    });
}

bool ListRun::Switch(quint64 prime)
{
    if (open_) {
        if (!Complete() || !Post([&host = host_, file = currentFile_] { host.FichierTermine(file); }))
            return false;
    }
    open_ = true;
    ++k_;
    bound_ += kNumbersPerFile;
    currentFile_ = host_.ContinuationFilePath(firstFile_, baseName_, k_);
    // The first number of every continuation file is in plain digits, and
    // the file holds it alone until the file is complete.
    char line[PrimeText::kMaxLine];
    onDisk_ = QByteArray(line, PrimeText::PlainLine(line, prime) - line);
    onDiskCount_ = 1;
    if (!Post([&host = host_, file = currentFile_, bytes = onDisk_] { host.CreateFile(file, bytes); }))
        return false;
    // Another buffer: the host may still share the bytes of the last file.
    // One too small is not grown, which would copy its old content into
    // pages touched for the first time.
    const qsizetype wanted = body_.size() + body_.size() / 8 + onDisk_.size();
    body_ = NextBuffer(std::move(body_));
    if (body_.capacity() < wanted)
        body_ = QByteArray();
    body_.resize(wanted);
    std::copy(onDisk_.cbegin(), onDisk_.cend(), body_.begin());
    used_ = onDisk_.size();
    count_ = 1;
    handledAny_ = true;
    lastHandled_ = prime;
    return true;
}

// False once a file operation failed.
bool ListRun::Finish()
{
    // A resumed run whose slices hold no prime has nothing left to write.
    const bool queued = !open_ || Complete();
    body_ = QByteArray();
    return queued && work_.Drain();
}

// False once a file operation failed.
bool ListRun::Stop()
{
    // The files completed before the stop are written whole, then the
    // current file gets its header over what it holds on disk: nothing for
    // the first file, its first prime for a continuation file. The numbers
    // not yet written are dropped.
    body_ = QByteArray();
    if (open_ && !Post([&host = host_, file = currentFile_, onDisk = onDisk_, count = onDiskCount_] {
            host.WriteListFile(file, onDisk, count);
        }))
        return false;
    return work_.Drain();
}

ListResult ListRun::Result(bool stopped) const
{
    ListResult result;
    result.stopped = stopped;
    result.files = k_;
    result.lastFile = currentFile_;
    result.progress = Progress();
    return result;
}

ListResult ListRun::FailureResult()
{
    work_.Drain();
    const ListFileWork::Failure &failure = work_.TheFailure();
    ListResult result = Result(false);
    result.files = failure.k;
    result.lastFile = failure.file;
    try {
        std::rethrow_exception(failure.error);
    } catch (const DiskFullStop &) {
        // Stopped before the disk is full.
        result.stopped = true;
        result.diskFull = host_.DiskFullStop();
    } catch (const CommandError &error) {
        // A file that cannot be written ends the run: files completed so
        // far stay, and the user is told which file failed and why.
        result.error = error;
    }
    return result;
}
