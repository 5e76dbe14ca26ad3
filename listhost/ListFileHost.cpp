// The list files as the list generation sees them: the file operations of
// ListHost done by the list file library, for every host that runs a list.
#include "listhost/ListFileHost.h"

#include "core/CommandError.h"
#include "listfiles/ListFile.h"
#include "listfiles/ListFileNames.h"
#include "listfiles/Windows1252.h"
#include "listhost/ListResume.h"
#include "listhost/ListShapeFor.h"

#include <QFileInfo>

#include <algorithm>

namespace {

// The three header lines of a list file, grouped as "Sep. milliers" says.
QByteArray HeaderOf(const QString &path, qint64 count, bool separators, const QString &separator)
{
    return ListFiles::HeaderBytes(QFileInfo(path).fileName(), count, separators, separator);
}

} // namespace

void ListFileHost::ListStarts(const ListRequest &request)
{
    separator_ = request.separator;
}

QByteArray ListFileHost::SeparatorBytes() const
{
    return ListFiles::EncodeWindows1252(separator_);
}

QString ListFileHost::ContinuationFilePath(const QString &firstFile, const QString &baseName, qint64 k) const
{
    return ListFiles::ContinuationPath(firstFile, baseName, k);
}

void ListFileHost::CreateFile(const QString &path, const QByteArray &bytes)
{
    try {
        writer_.CreateFileHolding(path, bytes);
    } catch (const ListFiles::ListFileError &error) {
        throw CommandError::FileFailed(error.message());
    }
}

void ListFileHost::WriteListFile(const QString &path, const QByteArray &numberLines, qint64 count)
{
    const QByteArray header = HeaderOf(path, count, LinesGrouped(), separator_);
    try {
        writer_.WriteListFile(path, header, numberLines);
    } catch (const ListFiles::ListFileError &error) {
        throw CommandError::FileFailed(error.message());
    }
    dernierFichierTermine_ = path;
    lastWritten_ = {path, header, numberLines};
}

std::optional<ListFileHost::WrittenFile> ListFileHost::ForeseenLastFile(const ListRequest &request,
                                                                        bool separators) const
{
    const std::optional<ForeseenFile> foreseen =
        ForeseeLastFile(request, separators, ListFiles::EncodeWindows1252(request.separator).left(4));
    if (!foreseen)
        return std::nullopt;
    const QString path = ContinuationFilePath(request.firstFile, request.baseName, foreseen->k);
    return WrittenFile{path, HeaderOf(path, foreseen->count, separators, request.separator), foreseen->numberLines};
}

std::optional<qint64> ListFileHost::ResumeFile(const ListRequest &request) const
{
    return ::ResumeFile(request.first, request.last, request.firstFile, request.baseName, LinesGrouped(),
                        request.separator);
}

std::optional<ListPlan> ListFileHost::PlanList(const ListRequest &request) const
{
    // A resumed list writes the slices from its start file on; the files
    // before it are on disk already.
    const qint64 from = qint64(ListFirstSieved(request));
    ListPlan plan;
    plan.estimate =
        EstimateList(from, request.last,
                     ShapeForList(request.firstFile, request.baseName, LinesGrouped(), request.separator));
    const FreeSpace space(QFileInfo(request.firstFile).absolutePath());
    plan.fits = space.Fits(plan.estimate.bytes);
    if (!plan.fits)
        plan.refusal = space.Refusal(plan.estimate.bytes);
    plan.large = space.Known() && plan.estimate.bytes > space.Available() / 10;
    return plan;
}

void ListFileHost::ListEnded()
{
    writer_.Finish();
}

bool ListFileHost::DiskNearlyFull(const QString &path, quint64 written, quint64 next)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!space_ || folder != spaceFolder_) {
        space_ = std::make_unique<FreeSpace>(folder);
        spaceFolder_ = folder;
    }
    return space_->WouldFill(written, next);
}

CommandError ListFileHost::DiskFullStop() const
{
    return space_ ? space_->Stop() : ListHost::DiskFullStop();
}
