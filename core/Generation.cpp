// Prime list generation: every prime of a range, from libprimesieve, saved
// into numbered list files of one slice of 1 000 000 numbers each.
#include "core/Generation.h"

#include "core/Arithmetic.h"
#include "core/CommandError.h"
#include "core/ListFileWork.h"
#include "digits/DigitGroups.h"
#include "core/PrimeSource.h"
#include "core/PrimeText.h"
#include "core/StopToken.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>

#include <primesieve.hpp>

#include <algorithm>
#include <array>
#include <utility>
#include <limits>
#include <vector>

namespace {

// A checkpoint at least this often while primes arrive: the progress shown,
// the grouping asked again, and the stop token consulted. The clock is
// read after each block of the sieve (well under a millisecond of
// formatting); completed files are written meanwhile, on the file work's
// thread.
constexpr qint64 kCheckpointIntervalNs = 4'000'000;

// How a run ends. FileFailed: a file operation failed, or found the disk
// about to be full; what failed is in the run's file work.
enum class Outcome { Finished, Stopped, FileFailed };

// Thrown by the operation that finds the disk about to be full, once it has
// left the file as it was on disk under its header.
struct DiskFullStop {
};

// The run: its files, the number lines of the current file, and the status
// it keeps up to date. The sieving runs on a worker (PrimeSource), and the
// file operations go through the run's file work, on a thread of their own
// when the host allows it; the formatting and the rest happen on the
// caller's thread.
class Run
{
public:
    Run(ListHost &host, const ListRequest &request, StopToken &stop, const ListProgressFn &progress)
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

void Run::Start()
{
    if (open_) {
        Post([&host = host_, file = currentFile_] { host.CreateFile(file, QByteArray()); });
        // A first file that cannot be created ends the run before any
        // progress shows.
        work_.Drain();
    }
    clock_.start();
}

ListProgress Run::Progress() const
{
    return {handledAny_, lastHandled_, clock_.elapsed()};
}

// Whether the run ends at this checkpoint, and how.
std::optional<Outcome> Run::Checkpoint()
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

Outcome Run::Loop()
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
bool Run::Store(const quint64 *primes, std::size_t count)
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

void Run::Append(const quint64 *primes, std::size_t count)
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

QByteArray Run::NextBuffer(QByteArray &&written)
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

const QByteArray &Run::Body()
{
    body_.resize(used_);
    return body_;
}

// Writes the current file whole, unless it would reach the space kept free
// on the disk: the file then gets its header over what it holds on disk,
// and the run stops there. False once a file operation failed.
bool Run::Complete()
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

bool Run::Switch(quint64 prime)
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
bool Run::Finish()
{
    // A resumed run whose slices hold no prime has nothing left to write.
    const bool queued = !open_ || Complete();
    body_ = QByteArray();
    return queued && work_.Drain();
}

// False once a file operation failed.
bool Run::Stop()
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

ListResult Run::Result(bool stopped) const
{
    ListResult result;
    result.stopped = stopped;
    result.files = k_;
    result.lastFile = currentFile_;
    result.progress = Progress();
    return result;
}

ListResult Run::FailureResult()
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

} // namespace

ListRequest ListRequestFor(qint64 first, qint64 last, const QString &firstText, const QString &lastText,
                           const QString &separator)
{
    // The list never holds 0 or 1; the file names keep the start as typed.
    ListRequest request;
    request.first = std::max<qint64>(first, 2);
    request.last = last;
    request.baseName = QStringLiteral("NP_") + firstText + QLatin1Char('-') + lastText + QLatin1Char('_');
    request.separator = separator;
    return request;
}

QString ProposedFirstFile(const ListRequest &request)
{
    return request.baseName + FormaterChiffre(1);
}

std::optional<CommandError> ContinuationRefusal(const ListRequest &request, const QString &chosen,
                                                const ListHost &host)
{
    const QString &base = request.baseName;
    const QString name = QFileInfo(chosen).fileName();
    const QString suffix = QStringLiteral(".txt");
    if (!name.startsWith(base) || !name.endsWith(suffix) || name.size() <= base.size() + suffix.size())
        return std::nullopt;
    const QString number = name.mid(base.size(), name.size() - base.size() - suffix.size());
    bool ok = false;
    const qint64 k = number.toLongLong(&ok);
    if (!ok || k < 2 || quint64(k) > ListSlices(request))
        return std::nullopt;
    const QString path = host.ContinuationFilePath(chosen, base, k);
    if (QDir::cleanPath(path) != QDir::cleanPath(chosen))
        return std::nullopt;
    return CommandError::ContinuationClash(chosen, k);
}

ListResult GenerateList(ListHost &host, const ListRequest &request, StopToken &stop, const ListProgressFn &progress)
{
    host.ListStarts(request);
    Run run(host, request, stop, progress);
    // The host hears of the end once every file operation is done.
    const auto ended = qScopeGuard([&run, &host] {
        run.Drain();
        host.ListEnded();
    });
    try {
        run.Start();
        Outcome outcome = run.Loop();
        if (outcome == Outcome::Finished && !run.Finish())
            outcome = Outcome::FileFailed;
        if (outcome == Outcome::Stopped && !run.Stop())
            outcome = Outcome::FileFailed;
        if (outcome == Outcome::FileFailed)
            return run.FailureResult();
        return run.Result(outcome == Outcome::Stopped);
    } catch (const CommandError &error) {
        // Memory ran out for the sieve: the files completed so far stay.
        ListResult result = run.Result(false);
        result.error = error;
        return result;
    }
}

qint64 ListPosition(const ListRequest &request, const ListProgress &progress)
{
    // Numbers are counted from the adjusted start, in unsigned arithmetic
    // so that no sum overflows at the ends of the 64-bit range.
    const quint64 first = quint64(request.first);
    const quint64 step = RoundHalfEven(ListSpan(request), 100) + 1;
    const quint64 done = progress.handledAny ? progress.lastHandled + 1 - first : 0;
    return qint64(std::min<quint64>(RoundHalfEven(done, step), quint64(std::numeric_limits<qint64>::max())));
}

quint64 ListSpan(const ListRequest &request)
{
    return request.last >= request.first ? quint64(request.last) - quint64(request.first) : 0;
}

quint64 ListSlices(const ListRequest &request)
{
    return ListSpan(request) / kNumbersPerFile + 1;
}

quint64 ListFilesKept(const ListRequest &request)
{
    const quint64 asked = quint64(std::max<qint64>(request.startFile, 1) - 1);
    return std::min<quint64>(asked, ListSlices(request) - 1);
}

quint64 ListFirstSieved(const ListRequest &request)
{
    return quint64(request.first) + ListFilesKept(request) * kNumbersPerFile;
}

std::optional<ForeseenFile> ForeseeLastFile(const ListRequest &request, bool separators, const QByteArray &sep)
{
    const quint64 files = ListSlices(request);
    if (files < 2 || request.last > kForeseenUpTo)
        return std::nullopt;
    // File k holds the slice from first + (k - 1) 10^6 on, as Run::Switch
    // moves its bound; every slice of 10^6 numbers holds primes below 2^63,
    // so no file is skipped before the last.
    const quint64 from = quint64(request.first) + (files - 1) * kNumbersPerFile;
    std::vector<quint64> primes;
    primesieve::generate_primes(from, quint64(request.last), &primes);
    if (primes.empty())
        return std::nullopt;
    const int sepLength = separators ? int(std::min<qsizetype>(sep.size(), 4)) : 0;
    const quint64 *const rest = primes.data() + 1;
    const quint64 *const end = primes.data() + primes.size();
    ForeseenFile file;
    file.k = qint64(files);
    file.count = qint64(primes.size());
    file.numberLines.resize(qsizetype(PrimeText::kMaxLine + PrimeText::LinesLength(rest, end, sepLength)));
    char *out = PrimeText::PlainLine(file.numberLines.data(), primes.front());
    out = PrimeText::Lines(rest, end, out, sep.constData(), sepLength);
    file.numberLines.truncate(out - file.numberLines.data());
    return file;
}
