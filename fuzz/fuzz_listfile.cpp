// Fuzz target: reading a list file for the view, decoding its bytes, and
// writing a list of any number lines under its header.
#include "FuzzInput.h"
#include "listfiles/ListFile.h"
#include "listfiles/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QString g_path;
QString g_listPath;

// Line ends as the reader counts them: CR LF once, a lone CR or LF once each.
qsizetype lineEnds(const QByteArray &bytes)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        if (bytes[i] == '\r' || bytes[i] == '\n')
            ++count;
    }
    return count;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static QTemporaryDir dir;
    g_path = dir.filePath(QStringLiteral("input.txt"));
    g_listPath = dir.filePath(QStringLiteral("NP_1-10000_01.txt"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = WriteInput(g_path, data, size);
    const QString decoded = ListFiles::DecodeListText(bytes);
    const QString shown = ListFiles::LoadListFileText(g_path);
    // The view gets the same text with plain line ends, one per line end.
    if (shown.contains(u'\r') || shown.count(u'\n') != lineEnds(bytes))
        std::abort();
    if (ListFiles::ListTextFromBytes(bytes) != shown)
        std::abort();
    // Any bytes as number lines: the file holds the header, then the bytes
    // untouched, and reads back starting with the header's three lines.
    const QByteArray header = ListFiles::HeaderBytes(QStringLiteral("NP_1-10000_01.txt"), qint64(size),
                                                     size % 2 == 1, QStringLiteral("\u00A0"));
    ListFiles::WriteListFile(g_listPath, header, bytes);
    if (contentOf(g_listPath) != header + bytes)
        std::abort();
    if (!ListFiles::LoadListFileText(g_listPath).startsWith(QStringLiteral("NP_1-10000_01.txt\nNombres premiers de cette liste : ")))
        std::abort();
    return 0;
}
