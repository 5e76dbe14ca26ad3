// The list files as the list generation sees them: the file operations of
// ListHost done by the list file library, for every host that runs a list.
#include "listhost/ListFileHost.h"

#include "core/CommandError.h"
#include "core/NumberText.h"
#include "listfiles/ListFile.h"
#include "listfiles/ListFileNames.h"
#include "listfiles/Windows1252.h"

#include <QFileInfo>

QByteArray ListFileHost::OctetsSeparateur() const
{
    return ListFiles::EncodeWindows1252(ThousandsSeparator());
}

QString ListFileHost::CheminFichierSuivant(const QString &firstFile, const QString &baseName, qint64 k) const
{
    return ListFiles::ContinuationPath(firstFile, baseName, k);
}

void ListFileHost::CreerFichier(const QString &path, const QByteArray &bytes)
{
    try {
        ListFiles::CreateFileHolding(path, bytes);
    } catch (const ListFiles::ListFileError &error) {
        throw CommandError(error.message());
    }
}

void ListFileHost::EcrireFichierListe(const QString &path, const QByteArray &numberLines, qint64 count)
{
    const QByteArray header =
        ListFiles::HeaderBytes(QFileInfo(path).fileName(), count, SepMilliers(), ThousandsSeparator());
    try {
        ListFiles::WriteListFile(path, header, numberLines);
    } catch (const ListFiles::ListFileError &error) {
        throw CommandError(error.message());
    }
    dernierFichierTermine_ = path;
    lastWritten_ = {path, header, numberLines};
}
