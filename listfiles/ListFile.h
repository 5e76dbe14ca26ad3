// Reading and writing list files: every line ended by CR LF, Windows-1252,
// and every open, write, flush and close checked; failures throw ListFileError.
#pragma once

#include "listfiles/ListFileError.h"

#include <QString>
#include <QStringList>

namespace ListFiles {

// Creates the file or replaces its content with the lines, each followed by
// CR LF; no lines gives an empty file. The new content replaces the old one
// only once it is completely on disk, so a failure leaves the old file whole.
void WriteWholeFile(const QString &path, const QStringList &lines);

// A list file written whole and in one go: the header bytes, then the number
// lines. The bytes go to a new file beside it, which takes the file's place
// by a rename once complete, so a killed process or a full disk never leaves
// a half-written list under the file's name.
void WriteListFile(const QString &path, const QByteArray &header, const QByteArray &numberLines);

// Creates the file, or replaces it, holding exactly the bytes: the first file
// of a list, empty, and each continuation file holding its first prime.
void CreateFileHolding(const QString &path, const QByteArray &bytes);

// The header of a list file, encoded as on disk.
QByteArray HeaderBytes(const QString &fileName, qint64 count, bool withSeparators, const QString &separator);

// Appends the line and CR LF to a file that must already exist.
void EnregistrerLigneDansFichier(const QString &path, const QString &line);

// The file's lines, ended by CR LF, a lone CR or a lone LF; a line end at the
// very end makes no extra empty line.
QStringList ReadLines(const QString &path);

// The three header lines of a list file holding count numbers.
QStringList HeaderLines(const QString &fileName, qint64 count, bool withSeparators,
                        const QString &separator);

// Puts the header on the file as it is on disk now: its own name, the count
// of its lines (grouped by three with the separator when withSeparators) and
// a line holding one space. The number lines keep their bytes. The caller
// then records the path as the last completed file.
void IndiquerNombresContenus(const QString &path, bool withSeparators, const QString &separator);

// Starts file number k of a list, in the first file's folder: created (or
// replaced silently) holding only firstPrime in plain digits. Returns its path.
QString CreationAutomatiqueFichierSuivant(const QString &firstFilePath, const QString &baseName,
                                          int k, qint64 firstPrime);

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

// True for an existing regular file (or a link to one).
bool FileExists(const QString &path);

} // namespace ListFiles
