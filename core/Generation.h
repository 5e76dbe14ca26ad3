// Prime list generation: every prime of a range, from libprimesieve, saved
// into numbered list files of one slice of 1 000 000 numbers each. An
// engine that knows nothing of the window: it writes the files through its
// host and reports its progress.
#pragma once

#include "core/CommandError.h"
#include "core/ListEstimate.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class StopToken;
struct ListRequest;

// What a list will be before its first file, and whether the file system
// of its folder holds it.
struct ListPlan {
    // The files still to write: the whole list, or the rest of a resumed one.
    ListEstimate estimate;
    // Whether they leave the space kept for the other programs untouched;
    // the NoRoom error that refuses the list otherwise.
    bool fits = true;
    std::optional<CommandError> refusal;
    // Whether they take more than a tenth of the free space.
    bool large = false;
};

// The list files as the generation sees them, on the thread it runs on.
// File operations raise CommandError (FileFailed) with the account of the
// file and the reason.
class ListHost
{
public:
    virtual ~ListHost() = default;

    // Whether the number lines are grouped in threes at this moment; asked
    // again at each checkpoint, so a change takes effect during a run.
    virtual bool LinesGrouped() const = 0;
    // A run of the request is about to start, before any file operation;
    // the host keeps what it needs of it, such as its separator.
    virtual void ListStarts(const ListRequest &) {}
    // The bytes that stand between digit groups in a list file, for the
    // separator of the running list.
    virtual QByteArray SeparatorBytes() const = 0;
    // The path of continuation file k, next to the first file.
    virtual QString ContinuationFilePath(const QString &firstFile, const QString &baseName, qint64 k) const = 0;
    // Creates the file, or replaces it silently, holding exactly `bytes`.
    virtual void CreateFile(const QString &path, const QByteArray &bytes) = 0;
    // Writes a list file whole, in one go: the three header lines for
    // `count` numbers (grouped as LinesGrouped says now), then the number
    // lines, each already ended by CR LF. The file is replaced only once it
    // is complete; it becomes the last completed file.
    virtual void WriteListFile(const QString &path, const QByteArray &numberLines, qint64 count) = 0;
    // A file of the run is complete and may be shown while the run goes on.
    virtual void FichierTermine(const QString &path) = 0;
    // The run is over, however it ended: what the host kept open for its
    // files may go.
    virtual void ListEnded() {}
    // Whether CreateFile, WriteListFile, FichierTermine and DiskNearlyFull
    // may be called from a thread of the run other than the one that runs
    // GenerateList: one at a time, in the order the run asks for them, and
    // all done before GenerateList returns. The other calls stay on that
    // thread.
    virtual bool FilesOffThread() const { return false; }

    // Before a list: the file from which an earlier, stopped run of the
    // request (its firstFile set) can be resumed, or nothing.
    virtual std::optional<qint64> ResumeFile(const ListRequest &) const { return std::nullopt; }
    // Before a list: what it will be and whether it fits; nothing when the
    // host cannot tell, and then the list starts without a question.
    virtual std::optional<ListPlan> PlanList(const ListRequest &) const { return std::nullopt; }
    // While a list runs, before a completed file is written: `written` bytes
    // went to disk since the last call, and the file takes about `next`.
    // True when it would eat into the space kept for the other programs;
    // DiskFullStop then says why the run stopped.
    virtual bool DiskNearlyFull(const QString &, quint64 /*written*/, quint64 /*next*/) { return false; }
    virtual CommandError DiskFullStop() const { return CommandError::DiskFull(QString(), 0); }
};

// Numbers per list file.
constexpr quint64 kNumbersPerFile = 1'000'000;

struct ListRequest {
    // The range, its start raised to 2 (the list never holds 0 or 1).
    qint64 first = 2;
    qint64 last = 2;
    // "NP_<start>-<end>_", from the fields as typed.
    QString baseName;
    // The first file as chosen; it is created empty when the run starts.
    QString firstFile;
    // The file the run starts at: 1, or the first file an earlier stopped
    // run did not complete; files before it are kept as they are.
    qint64 startFile = 1;
    // The thousands separator between digit groups, in the files and in
    // what is said of them.
    QString separator = QStringLiteral(" ");
};

// The run's progress at each of its checkpoints, a few milliseconds apart.
struct ListProgress {
    bool handledAny = false;
    quint64 lastHandled = 0;
    qint64 elapsedMs = 0;
};

struct ListResult {
    bool stopped = false;
    // Stopped before the disk would be full (DiskFull).
    std::optional<CommandError> diskFull;
    // A file could not be written, or memory ran out: the run ended there,
    // the files completed before it stay.
    std::optional<CommandError> error;
    qint64 files = 0;
    QString lastFile;
    ListProgress progress;
};

using ListProgressFn = std::function<void(const ListProgress &)>;

// The request for a range as typed; `first` and `last` are the numbers of
// the fields (last - first + 1 >= 10, checked by the caller), separator the
// thousands separator of its files.
ListRequest ListRequestFor(qint64 first, qint64 last, const QString &firstText, const QString &lastText,
                           const QString &separator);
// The name the save dialog proposes for the first file.
QString ProposedFirstFile(const ListRequest &request);
// Continuation files replace files of their name without asking, so a first
// file named like one of them would be lost half-way: the ContinuationClash
// that refuses it, or nothing.
std::optional<CommandError> ContinuationRefusal(const ListRequest &request, const QString &chosen, const ListHost &host);

// Lists the primes of the request into its files. After each checkpoint is
// reported, `stop` decides whether the run ends there: completed files stay
// whole and the current one gets its header over what it holds.
ListResult GenerateList(ListHost &host, const ListRequest &request, StopToken &stop, const ListProgressFn &progress);

// The bar's position for the progress of a list.
qint64 ListPosition(const ListRequest &request, const ListProgress &progress);
// last - first of the request, 0 for an empty range, in unsigned arithmetic
// so that it never overflows at the ends of the 64-bit range.
quint64 ListSpan(const ListRequest &request);
// The slices of 10^6 numbers the range covers: the most files a run of it
// writes.
quint64 ListSlices(const ListRequest &request);
// The files a run of the request leaves as they are (those before its start
// file, within the range), and the first number it sieves.
quint64 ListFilesKept(const ListRequest &request);
quint64 ListFirstSieved(const ListRequest &request);
// The last file of a list, worked out from its slice alone before the run
// reaches it: its number, its number lines (the first prime in plain
// digits, the others grouped with the bytes sep when `separators`), and how many
// primes it holds. Nothing for a list of one file, a last slice with no
// prime, or a range ending above kForeseenUpTo, where sieving the slice on
// its own would take more than a few milliseconds. What the run writes
// decides whether it was right: the grouping may change meanwhile.
struct ForeseenFile {
    qint64 k = 0;
    QByteArray numberLines;
    qint64 count = 0;
};
constexpr qint64 kForeseenUpTo = 100'000'000'000'000;
std::optional<ForeseenFile> ForeseeLastFile(const ListRequest &request, bool separators, const QByteArray &sep);
