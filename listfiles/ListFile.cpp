// List files on disk. A list is written into a file with no name that takes
// the file's name once complete; QSaveFile is the fallback where it cannot.
#include "listfiles/ListFile.h"

#include "digits/DigitGroups.h"
#include "listfiles/Windows1252.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <atomic>
#include <fcntl.h>
#include <unistd.h>
#include <cstdio>
#include <algorithm>
#include <new>

namespace ListFiles {

namespace {

using Operation = ListFileError::Operation;

constexpr char kLineEnd[] = "\r\n";

QByteArray encodeLines(const QStringList &lines)
{
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    QByteArray bytes;
    bytes.reserve(size);
    for (const QString &line : lines) {
        AppendWindows1252(bytes, line);
        bytes.append(kLineEnd);
    }
    return bytes;
}

// The system may take only part of a write, for instance when the disk fills
// up; writing the rest then fails with the reason the message needs.
bool writeAll(QFileDevice &file, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

void checkWriteTarget(const QString &path)
{
    if (path.isEmpty())
        throw ListFileError(Operation::Write, path, QStringLiteral("aucun nom de fichier n'a été donné"));
    const QFileInfo info(path);
    if (info.isDir())
        throw ListFileError(Operation::Write, path, QStringLiteral("ce chemin désigne un dossier"));
    // A device or a pipe would be replaced by a plain file when the new
    // content is renamed into place; such a path is not a list file anyway.
    if (info.exists() && !info.isFile())
        throw ListFileError(Operation::Write, path,
                            QStringLiteral("ce chemin ne désigne pas un fichier ordinaire"));
    if (info.exists() && !info.isWritable())
        throw ListFileError(Operation::Write, path, QStringLiteral("le fichier est en lecture seule"));
}

// Where a folder has no unnamed files: the content goes to a temporary file
// beside it, which takes the file's place only when it is complete.
void replaceFileContent(const QString &path, const QByteArray &bytes)
{
    checkWriteTarget(path);
    QSaveFile file(path);
    // A folder that refuses new files may still hold a file the user may
    // write; then it is written in place, as any editor would.
    file.setDirectWriteFallback(true);
    // Unbuffered: the bytes go out in one write, and its error is seen there.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw ListFileError::fromDevice(Operation::Write, path, file);
    if (!writeAll(file, bytes) || !file.flush()) {
        const ListFileError error = ListFileError::fromDevice(Operation::Write, path, file);
        file.cancelWriting();
        throw error;
    }
    if (!file.commit())
        throw ListFileError::fromDevice(Operation::Write, path, file);
}

// Writes the parts one after the other into an open file.
bool writeParts(QFileDevice &file, std::initializer_list<const QByteArray *> parts)
{
    for (const QByteArray *part : parts)
        if (!writeAll(file, *part))
            return false;
    return true;
}

void writeInPlace(const QString &path, std::initializer_list<const QByteArray *> parts)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw ListFileError::fromDevice(Operation::Write, path, file);
    if (!writeParts(file, parts))
        throw ListFileError::fromDevice(Operation::Write, path, file);
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw ListFileError::fromDevice(Operation::Write, path, file);
}

// A name beside the file that no other writer uses: the process and a
// counter, so that two runs or two programs never share one.
QString siblingName(const QString &path)
{
    static std::atomic<quint64> counter{0};
    const QFileInfo info(path);
    return info.path() + QStringLiteral("/.%1.%2-%3.tmp")
                             .arg(info.fileName())
                             .arg(QCoreApplication::applicationPid())
                             .arg(counter.fetch_add(1));
}

QString sizeText(qint64 bytes)
{
    const QLocale french(QLocale::French, QLocale::France);
    const QString exact = GroupDigits(bytes, QStringLiteral("\u00A0")) + QStringLiteral("\u00A0octets");
    if (bytes < 1024 * 1024)
        return exact;
    const bool giga = bytes >= qint64(1) << 30;
    const double amount = double(bytes) / double(qint64(1) << (giga ? 30 : 20));
    return QStringLiteral("%1\u00A0%2 (%3)").arg(french.toString(amount, 'f', 1), giga ? QStringLiteral("Go") : QStringLiteral("Mo"), exact);
}

[[noreturn]] void throwOutOfMemory(const QString &path, qint64 size)
{
    throw ListFileSizeError(Operation::Read, path,
                            QStringLiteral("la mémoire manque pour lire ses %1").arg(sizeText(size)));
}

// The whole content, or at most limit bytes: a larger file throws before its
// content is read. A file whose size the system does not know in advance (some
// files under /proc) is read to its end all the same.
QByteArray readWholeFile(const QString &path, qint64 limit = -1)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw ListFileError(Operation::Read, path, QStringLiteral("le fichier n'existe pas"));
    if (info.isDir())
        throw ListFileError(Operation::Read, path, QStringLiteral("ce chemin désigne un dossier"));
    // A pipe or a device could block or never end.
    if (!info.isFile())
        throw ListFileError(Operation::Read, path,
                            QStringLiteral("ce chemin ne désigne pas un fichier ordinaire"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ListFileError::fromDevice(Operation::Read, path, file);
    const auto tooLarge = [&](qint64 size) {
        return ListFileSizeError(Operation::Read, path,
                                 QStringLiteral("il fait %1, plus que les %2 qu'une liste peut occuper à l'affichage")
                                     .arg(sizeText(size), QStringLiteral("%1\u00A0Mo").arg(limit >> 20)));
    };
    const qint64 expected = file.size();
    if (limit >= 0 && expected > limit)
        throw tooLarge(expected);
    QByteArray bytes;
    qint64 done = 0;
    try {
        // Qt reports a failed allocation by throwing std::bad_alloc; a
        // resize that left the array short means the same.
        bytes.resize(qsizetype(expected));
        if (bytes.size() != expected)
            throwOutOfMemory(path, expected);
        while (done < expected) {
            const qint64 got = file.read(bytes.data() + done, expected - done);
            if (got < 0)
                throw ListFileError::fromDevice(Operation::Read, path, file);
            if (got == 0)
                break;
            done += got;
        }
        bytes.truncate(qsizetype(done));
        // Whatever lies beyond the size announced (a file that grows, a
        // file of unknown size) is read too.
        char more[64 * 1024];
        for (;;) {
            const qint64 got = file.read(more, sizeof more);
            if (got < 0)
                throw ListFileError::fromDevice(Operation::Read, path, file);
            if (got == 0)
                break;
            done += got;
            if (limit >= 0 && done > limit)
                throw tooLarge(done);
            bytes.append(more, qsizetype(got));
        }
    } catch (const std::bad_alloc &) {
        bytes = QByteArray();
        throwOutOfMemory(path, std::max(expected, done));
    }
    return bytes;
}

} // namespace

#ifdef O_TMPFILE
// The complete content in a file of the folder that has no name yet, so a
// process killed while writing leaves nothing behind; it gets a hidden name
// only once complete, and that name is at once replaced by the file's own.
// False when the file system has no unnamed files.
bool writeUnnamedThenRename(const QString &path, const QByteArray &header, const QByteArray &numberLines)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int descriptor = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return false;
    QFile file;
    if (!file.open(descriptor, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        throw ListFileError::fromDevice(Operation::Write, path, file);
    }
    if (!writeParts(file, {&header, &numberLines}))
        throw ListFileError::fromDevice(Operation::Write, path, file);
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(descriptor);
    // A file that does not exist yet simply gets its name; one that exists
    // is replaced through a hidden name and a rename.
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, QFile::encodeName(path).constData(), AT_SYMLINK_FOLLOW) == 0) {
        file.close();
        return true;
    }
    const QByteArray temporary = QFile::encodeName(siblingName(path));
    const bool named = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, temporary.constData(), AT_SYMLINK_FOLLOW) == 0;
    file.close();
    if (!named)
        throw ListFileError(Operation::Write, path, QStringLiteral("le fichier n'a pas pu prendre sa place"));
    if (std::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(temporary.constData());
        throw ListFileError(Operation::Write, path, QStringLiteral("le fichier n'a pas pu prendre sa place"));
    }
    return true;
}
#endif

void WriteListFile(const QString &path, const QByteArray &header, const QByteArray &numberLines)
{
    checkWriteTarget(path);
    // Unlike QSaveFile, the new file is not synced to the disk before the
    // rename: a list of a thousand files would wait on the disk a thousand
    // times, and what the rename protects against is a process that dies.
#ifdef O_TMPFILE
    if (writeUnnamedThenRename(path, header, numberLines))
        return;
#endif
    // Without unnamed files, QSaveFile does the same through a named one.
    replaceFileContent(path, header + numberLines);
}

void CreateFileHolding(const QString &path, const QByteArray &bytes)
{
    checkWriteTarget(path);
    // Through a file with no name too, so that a continuation file is never
    // seen empty, even by a process killed while creating it.
#ifdef O_TMPFILE
    if (writeUnnamedThenRename(path, bytes, QByteArray()))
        return;
#endif
    writeInPlace(path, {&bytes});
}

QByteArray HeaderBytes(const QString &fileName, qint64 count, bool withSeparators, const QString &separator)
{
    const QString countText = withSeparators ? GroupDigits(count, separator) : QString::number(count);
    return encodeLines({fileName, QStringLiteral("Nombres premiers de cette liste : ") + countText,
                        QStringLiteral(" ")});
}

QString LoadListFileText(const QString &path)
{
    const QByteArray bytes = readWholeFile(path, kLargestShownFile);
    try {
        return ListTextFromBytes(bytes);
    } catch (const std::bad_alloc &) {
        throwOutOfMemory(path, bytes.size());
    }
}

QString ListTextFromBytes(const QByteArray &bytes)
{
    QString text = DecodeListText(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace ListFiles
