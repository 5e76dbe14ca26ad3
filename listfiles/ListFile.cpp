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
#include <QScopeGuard>
#include <QStringList>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <algorithm>
#include <new>
#include <utility>

namespace ListFiles {

namespace {

std::atomic<FileStepHook> fileStepHook = nullptr;

void fileStep()
{
    if (const FileStepHook hook = fileStepHook.load(std::memory_order_relaxed))
        hook();
}

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

// A hidden name in the folder that no other writer uses: the process and a
// counter, so that two runs or two programs never share one.
QString hiddenName(const QString &folder, const QString &stem)
{
    static std::atomic<quint64> counter{0};
    return folder + QStringLiteral("/.%1.%2-%3.tmp")
                        .arg(stem)
                        .arg(QCoreApplication::applicationPid())
                        .arg(counter.fetch_add(1));
}

// The hidden name beside a file: ".NAME.PID-N.tmp".
QString siblingName(const QString &path)
{
    const QFileInfo info(path);
    return hiddenName(info.path(), info.fileName());
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

#ifdef O_TMPFILE
// A file of the path's folder that has no name yet, open for writing; -1
// when the file system has no unnamed files.
int openUnnamed(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    fileStep();
    return ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

// Gives the unnamed file open as `descriptor` the name `target`; false when
// the name is taken (or the link fails otherwise).
bool linkUnnamed(int descriptor, const QByteArray &target)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(descriptor);
    fileStep();
    return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, target.constData(), AT_SYMLINK_FOLLOW) == 0;
}

// Writes the parts into the unnamed file; the caller closes the descriptor.
void writeUnnamed(int descriptor, const QString &path, std::initializer_list<const QByteArray *> parts)
{
    QFile file;
    fileStep();
    if (!file.open(descriptor, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle)
        || !writeParts(file, parts))
        throw ListFileError::fromDevice(Operation::Write, path, file);
}

[[noreturn]] void throwNotInPlace(const QString &path)
{
    throw ListFileError(Operation::Write, path, QStringLiteral("le fichier n'a pas pu prendre sa place"));
}

// The unnamed file, complete, takes the path: a file that does not exist
// yet simply gets its name, one that exists is replaced through a hidden
// name and a rename, unless `exchange` puts the hidden file in its place
// itself. The descriptor stays open.
template <typename Exchange>
void nameUnnamed(int descriptor, const QString &path, Exchange exchange)
{
    const QByteArray target = QFile::encodeName(path);
    if (linkUnnamed(descriptor, target))
        return;
    const QByteArray temporary = QFile::encodeName(siblingName(path));
    if (!linkUnnamed(descriptor, temporary))
        throwNotInPlace(path);
    if (exchange(temporary, target))
        return;
    fileStep();
    if (std::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        throwNotInPlace(path);
    }
}
#endif

} // namespace

ListFileWriter::~ListFileWriter()
{
    Finish();
}

void ListFileWriter::Finish()
{
    DropHolding();
    if (spare_.descriptor >= 0) {
        ::close(spare_.descriptor);
        ::unlink(QFile::encodeName(spare_.path).constData());
        spare_ = {};
    }
}

void ListFileWriter::DropHolding()
{
    if (holding_.descriptor >= 0)
        ::close(holding_.descriptor);
    holding_ = {};
}

void ListFileWriter::WriteListFile(const QString &path, const QByteArray &header, const QByteArray &numberLines)
{
    checkWriteTarget(path);
    // Unlike QSaveFile, the new file is not synced to the disk before the
    // rename: a list of a thousand files would wait on the disk a thousand
    // times, and what the rename protects against is a process that dies.
#ifdef O_TMPFILE
    if (const int descriptor = openUnnamed(path); descriptor >= 0) {
        const auto closed = qScopeGuard([descriptor] { ::close(descriptor); });
        writeUnnamed(descriptor, path, {&header, &numberLines});
        nameUnnamed(descriptor, path, [&](const QByteArray &temporary, const QByteArray &target) {
            return ExchangeWithHolding(path, temporary, target);
        });
        DropHolding();
        return;
    }
#endif
    // Without unnamed files, QSaveFile does the same through a named one.
    DropHolding();
    replaceFileContent(path, header + numberLines);
}

#ifdef O_TMPFILE
// The complete file, under its hidden name, trades places with the file
// held at the path, which then keeps the hidden name as the spare. Freeing
// an inode has a cost on some file systems (ext4 without a journal skips
// every recently freed inode at each new file), and renaming over a file
// makes ext4 write the new one out at once; trading places does neither.
bool ListFileWriter::ExchangeWithHolding(const QString &path, const QByteArray &temporary, const QByteArray &target)
{
    if (holding_.descriptor < 0 || holding_.path != path || spare_.descriptor >= 0)
        return false;
    fileStep();
    if (::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, target.constData(), RENAME_EXCHANGE) != 0)
        return false;
    // What was at the path now has the hidden name: the file held, unless
    // something else replaced it meanwhile, which goes as a rename would
    // have made it go.
    struct stat held {};
    struct stat moved {};
    const bool ours = ::fstat(holding_.descriptor, &held) == 0 && ::stat(temporary.constData(), &moved) == 0
                      && held.st_dev == moved.st_dev && held.st_ino == moved.st_ino;
    const QString spareName = hiddenName(QFileInfo(path).path(), QStringLiteral("tavorine-libre"));
    fileStep();
    if (ours && std::rename(temporary.constData(), QFile::encodeName(spareName).constData()) == 0) {
        spare_ = {holding_.descriptor, spareName};
        holding_ = {};
        return true;
    }
    ::unlink(temporary.constData());
    return true;
}

// The spare file, its content rewritten, takes the path: no new inode.
// False when it cannot, and the spare is let go.
bool ListFileWriter::HoldInSpare(const QString &path, const QByteArray &bytes)
{
    if (spare_.descriptor < 0 || QFileInfo(spare_.path).path() != QFileInfo(path).path())
        return false;
    const Inode spare = std::exchange(spare_, Inode{});
    const QByteArray spareName = QFile::encodeName(spare.path);
    QFile file;
    fileStep();
    const bool written = file.open(spare.descriptor, QIODevice::WriteOnly | QIODevice::Unbuffered,
                                   QFileDevice::DontCloseHandle)
                         && file.seek(0) && writeAll(file, bytes) && file.resize(bytes.size());
    file.close();
    fileStep();
    if (written && std::rename(spareName.constData(), QFile::encodeName(path).constData()) == 0) {
        holding_ = {spare.descriptor, path};
        return true;
    }
    ::close(spare.descriptor);
    ::unlink(spareName.constData());
    return false;
}
#endif

void ListFileWriter::CreateFileHolding(const QString &path, const QByteArray &bytes)
{
    checkWriteTarget(path);
    DropHolding();
    // Through a file with no name too, so that a continuation file is never
    // seen empty, even by a process killed while creating it. The file
    // stays open: once complete, the list takes its place by trading
    // places with it, and it holds the next file's first prime.
#ifdef O_TMPFILE
    if (HoldInSpare(path, bytes))
        return;
    if (const int descriptor = openUnnamed(path); descriptor >= 0) {
        auto closed = qScopeGuard([descriptor] { ::close(descriptor); });
        writeUnnamed(descriptor, path, {&bytes});
        nameUnnamed(descriptor, path, [](const QByteArray &, const QByteArray &) { return false; });
        closed.dismiss();
        holding_ = {descriptor, path};
        return;
    }
#endif
    writeInPlace(path, {&bytes});
}

void SetFileStepHook(FileStepHook hook)
{
    fileStepHook.store(hook, std::memory_order_relaxed);
}

void WriteListFile(const QString &path, const QByteArray &header, const QByteArray &numberLines)
{
    ListFileWriter().WriteListFile(path, header, numberLines);
}

void CreateFileHolding(const QString &path, const QByteArray &bytes)
{
    ListFileWriter().CreateFileHolding(path, bytes);
}

QByteArray HeaderBytes(const QString &fileName, qint64 count, bool withSeparators, const QString &separator)
{
    const QString countText = withSeparators ? GroupDigits(count, separator) : QString::number(count);
    return encodeLines({fileName, CountLabel() + countText,
                        QStringLiteral(" ")});
}

QString CountLabel()
{
    return QStringLiteral("Nombres premiers de cette liste : ");
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
