// Fuzz target: reading a list file for the view and for counting, decoding
// its bytes, and putting a header on it.
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

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static QTemporaryDir dir;
    g_path = dir.filePath(QStringLiteral("NP_1-10000_01.txt"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = WriteInput(g_path, data, size);
    const QString decoded = ListFiles::DecodeListText(bytes);
    const QString shown = ListFiles::LoadListFileText(g_path);
    // The view gets the same text with plain line ends.
    if (shown.contains(u'\r') || shown.count(u'\n') < decoded.count(u'\n'))
        std::abort();
    const QStringList lines = ListFiles::ReadLines(g_path);
    if (lines.size() > bytes.count('\n') + bytes.count('\r') + 1)
        std::abort();
    // The header names the file and counts the lines it had.
    ListFiles::IndiquerNombresContenus(g_path, size % 2 == 1, QStringLiteral("\u00A0"));
    const QStringList withHeader = ListFiles::ReadLines(g_path);
    if (withHeader.size() < 3 || withHeader[0] != QStringLiteral("NP_1-10000_01.txt"))
        std::abort();
    return 0;
}
