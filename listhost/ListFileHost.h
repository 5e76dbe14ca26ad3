// The list files as the list generation sees them: the file operations of
// ListHost done by the list file library, for every host that runs a list.
#pragma once

#include "core/Generation.h"

#include "listfiles/ListFile.h"
#include "listhost/FreeSpace.h"

#include <QByteArray>
#include <QString>

#include <memory>

class ListFileHost : public ListHost
{
public:
    // The running list's separator, kept from its request.
    void ListStarts(const ListRequest &request) override;
    QByteArray SeparatorBytes() const override;
    QString ContinuationFilePath(const QString &firstFile, const QString &baseName, qint64 k) const override;
    void CreateFile(const QString &path, const QByteArray &bytes) override;
    void WriteListFile(const QString &path, const QByteArray &numberLines, qint64 count) override;
    void ListEnded() override;

    // The checks before a list: an earlier stopped run on the same first
    // file (every kept file read and checked), and the estimate against the
    // free space of the first file's folder.
    std::optional<qint64> ResumeFile(const ListRequest &request) const override;
    std::optional<ListPlan> PlanList(const ListRequest &request) const override;
    // The free space of the folder of the files being written, read again
    // as FreeSpace decides.
    bool DiskNearlyFull(const QString &path, quint64 written, quint64 next) override;
    CommandError DiskFullStop() const override;

    // The file that most recently received its header; kept between runs.
    QString DernierFichierTermine() const { return dernierFichierTermine_; }

    // The bytes of the list file written last, as on disk, shared with the
    // buffers of the run (no copy is made).
    struct WrittenFile {
        QString path;
        QByteArray header;
        QByteArray numberLines;
    };

    const WrittenFile &LastWritten() const { return lastWritten_; }

    // The last file of the request as a run would write it with its lines
    // grouped as given, worked out ahead (see ForeseeLastFile); it only
    // reads the request, so any thread may ask.
    std::optional<WrittenFile> ForeseenLastFile(const ListRequest &request, bool separators) const;

private:
    ListFiles::ListFileWriter writer_;
    QString dernierFichierTermine_;
    // The separator of the running list, read by its file operations.
    QString separator_ = QStringLiteral(" ");
    WrittenFile lastWritten_;
    // The file system of the running list, from its first look.
    std::unique_ptr<FreeSpace> space_;
    QString spaceFolder_;
};
