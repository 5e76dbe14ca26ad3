// Fuzz target: the CHM reader on damaged help files, and its parsers of the
// context table, the sitemaps and the pages' text on their own.
#include "FuzzInput.h"
#include "help/reader/ChmFile.h"

#include <QFile>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QString g_path;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    static QTemporaryDir dir;
    g_path = dir.filePath(QStringLiteral("TVR.chm"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = WriteInput(g_path, data, size);
    ChmFile chm;
    if (chm.open(g_path)) {
        for (const QString &page : chm.pages())
            chm.read(page);
        const QList<quint32> contexts = chm.contextTable().keys();
        for (quint32 context : contexts)
            chm.topicForContext(context);
        chm.topicForContext(1000);
        chm.read(chm.defaultTopic());
    }
    const qsizetype half = bytes.size() / 2;
    ChmFile::parseContextTable(bytes.left(half), bytes.mid(half));
    ChmFile::parseSiteMap(bytes);
    ChmFile::decodeHtml(bytes);
    ChmFile::normalizePath(QString::fromLatin1(bytes));
    return 0;
}
