// Reading and writing list files: every line ended by CR LF, Windows-1252,
// and every open, write, flush and close checked; failures throw ListFileError.
#pragma once

#include "listfiles/ListFileError.h"

#include <QByteArray>
#include <QString>

namespace ListFiles {

// A list file written whole and in one go: the header bytes, then the number
// lines. The bytes go to a new file beside it, which takes the file's place
// by a rename once complete, so a killed process or a full disk never leaves
// a half-written list under the file's name.
void WriteListFile(const QString &path, const QByteArray &header, const QByteArray &numberLines);

// Creates the file, or replaces it, holding exactly the bytes: the first file
// of a list, empty, and each continuation file holding its first prime.
void CreateFileHolding(const QString &path, const QByteArray &bytes);

// Called before each file system step that puts a list file in place (an
// unnamed file opened or written, a link, a rename, an exchange, a removal);
// none by default. The command line's kill seam counts the steps with it.
using FileStepHook = void (*)();
void SetFileStepHook(FileStepHook hook);

// The files of one list, written as the two functions above write them, but
// with one new inode per file: the file held (created by CreateFileHolding)
// stays open, and once the list takes its place it becomes a hidden spare
// that holds the next file's first prime. A process killed meanwhile may
// leave the spare behind, hidden (".tavorine-libre.PID-N.tmp"), holding at
// most one line; Finish removes it.
class ListFileWriter
{
public:
    ListFileWriter() = default;
    ~ListFileWriter();
    ListFileWriter(const ListFileWriter &) = delete;
    ListFileWriter &operator=(const ListFileWriter &) = delete;

    void WriteListFile(const QString &path, const QByteArray &header, const QByteArray &numberLines);
    void CreateFileHolding(const QString &path, const QByteArray &bytes);
    // The list is over: the file held is let go and the spare removed.
    void Finish();

private:
    struct Inode {
        int descriptor = -1;
        QString path;
    };

    void DropHolding();
    bool ExchangeWithHolding(const QString &path, const QByteArray &temporary, const QByteArray &target);
    bool HoldInSpare(const QString &path, const QByteArray &bytes);

    Inode holding_;
    Inode spare_;
};

// The header of a list file, encoded as on disk: its own name, the count of
// its number lines (grouped by three with the separator when withSeparators)
// and a line holding one space, each ended by CR LF.
QByteArray HeaderBytes(const QString &fileName, qint64 count, bool withSeparators, const QString &separator);
// The label of the header's second line, before the count.
QString CountLabel();

// The largest file shown in the report view. A run writes at most 78 498
// primes to a file, lines of at most 19 digits, 6 separators and CR LF: about
// 2.1 MB. Eight times that leaves room for lists edited by hand, while the
// view still lays the text out in a few seconds and some hundred megabytes.
constexpr qint64 kLargestShownFile = 16 * 1024 * 1024;

// The whole text of a file for the report view, line ends turned into "\n".
// Anything that is not a readable regular file (missing, a folder, a device)
// throws ListFileError; a file larger than kLargestShownFile, or one that
// memory cannot hold, throws ListFileSizeError, whose message gives the size.
QString LoadListFileText(const QString &path);
// The same text from bytes already in memory.
QString ListTextFromBytes(const QByteArray &bytes);

} // namespace ListFiles
