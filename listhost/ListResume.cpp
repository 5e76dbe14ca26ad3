// Whether a chosen first file starts an earlier, stopped run of the same
// list, and from which file that list must be written again.
#include "listhost/ListResume.h"

#include "core/Generation.h"
#include "core/PrimeCounting.h"
#include "core/PrimeText.h"
#include "listfiles/ListFile.h"
#include "listfiles/ListFileNames.h"
#include "listfiles/Windows1252.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

#include <algorithm>

namespace {

// What one slice of the list must hold.
struct Slice {
    quint64 start = 0;
    quint64 end = 0; // inclusive
    quint64 firstPrime = 0;
    quint64 lastPrime = 0;
};

class Checker
{
public:
    Checker(bool separators, const QString &separator) : separators_(separators), separator_(separator)
    {
        separatorBytes_ = ListFiles::EncodeWindows1252(separator).left(4);
    }

    // Whether the file holds the complete slice k; its count goes to count.
    bool Holds(const QString &path, qint64 k, const Slice &slice, quint64 &count) const
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        // A run writes at most about 2.1 MB per file: anything far larger
        // is no file of a run.
        if (file.size() > ListFiles::kLargestShownFile)
            return false;
        const QByteArray bytes = file.readAll();
        if (bytes.size() != file.size() || !bytes.endsWith("\r\n"))
            return false;
        // Number lines: every line after the three header lines.
        const qsizetype lines = bytes.count("\r\n");
        if (bytes.count('\n') != lines || lines < 4)
            return false;
        count = quint64(lines - 3);
        const QByteArray header = ListFiles::HeaderBytes(QFileInfo(path).fileName(), qint64(count), separators_,
                                                         separator_);
        if (!bytes.startsWith(header))
            return false;
        // The first number of a continuation file is in plain digits.
        const QByteArray firstLine = Line(slice.firstPrime, k >= 2);
        if (bytes.mid(header.size(), firstLine.size()) != firstLine)
            return false;
        const QByteArray lastLine = Line(slice.lastPrime, k >= 2 && count == 1);
        return bytes.size() - header.size() >= lastLine.size() && bytes.endsWith(lastLine)
               && (bytes.size() == header.size() + lastLine.size()
                   || bytes.at(bytes.size() - lastLine.size() - 1) == '\n');
    }

private:
    QByteArray Line(quint64 prime, bool plain) const
    {
        char line[PrimeText::kMaxLine];
        const char *end = plain || !separators_
                              ? PrimeText::PlainLine(line, prime)
                              : PrimeText::GroupedLine(line, prime, separatorBytes_.constData(),
                                                       int(separatorBytes_.size()));
        return QByteArray(line, end - line);
    }

    bool separators_;
    QString separator_;
    QByteArray separatorBytes_;
};

} // namespace

std::optional<qint64> ResumeFile(qint64 first, qint64 last, const QString &firstFile, const QString &baseName,
                                       bool separators, const QString &separator)
{
    const quint64 a = quint64(std::max<qint64>(first, 2));
    if (last < qint64(a))
        return std::nullopt;
    const std::optional<quint64> lastPrime = PrimeCounting::LargestPrimeIn(a, quint64(last));
    if (!lastPrime)
        return std::nullopt;
    const qint64 files = qint64((*lastPrime - a) / kNumbersPerFile + 1);

    const Checker checker(separators, separator);
    QList<Slice> slices;
    QList<quint64> counts;
    qint64 k = 1;
    for (; k <= files; ++k) {
        Slice slice;
        slice.start = a + quint64(k - 1) * kNumbersPerFile;
        slice.end = std::min(quint64(last), slice.start + (kNumbersPerFile - 1));
        // Every slice but the last holds primes: gaps between primes of 64
        // bits stay far below a million.
        const std::optional<quint64> opening = PrimeCounting::SmallestPrimeIn(slice.start, slice.end);
        const std::optional<quint64> closing = PrimeCounting::LargestPrimeIn(slice.start, slice.end);
        if (!opening || !closing)
            break;
        slice.firstPrime = *opening;
        slice.lastPrime = *closing;
        const QString path = k == 1 ? firstFile : ListFiles::ContinuationPath(firstFile, baseName, k);
        quint64 count = 0;
        if (!checker.Holds(path, k, slice, count))
            break;
        slices.append(slice);
        counts.append(count);
    }
    if (slices.isEmpty())
        return std::nullopt;

    // The counts of the kept files against the primes of their slices: one
    // count for all of them, and slice by slice only when it disagrees.
    quint64 kept = 0;
    for (const quint64 c : counts)
        kept += c;
    if (kept != PrimeCounting::CountExact(a, slices.last().end)) {
        for (qsizetype i = 0; i < slices.size(); ++i) {
            if (counts[i] != PrimeCounting::CountExact(slices[i].start, slices[i].end)) {
                k = qint64(i) + 1;
                break;
            }
        }
    }
    if (k == 1 || k > files)
        return std::nullopt;
    return k;
}

QString ResumeQuestion(qint64 file)
{
    return QStringLiteral("Reprendre la liste à partir du fichier %1 ?").arg(file);
}
