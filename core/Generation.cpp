// Prime list generation: every prime of a range, from libprimesieve, saved
// into numbered list files of one slice of 1 000 000 numbers each. The
// request, the first file's name and its checks live here; the run itself
// is a ListRun.
#include "core/Generation.h"

#include "core/Arithmetic.h"
#include "core/CommandError.h"
#include "core/ListRun.h"
#include "core/PrimeText.h"
#include "digits/DigitGroups.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include <primesieve.hpp>

#include <algorithm>
#include <limits>
#include <vector>

ListRequest ListRequestFor(qint64 first, qint64 last, const QString &firstText, const QString &lastText,
                           const QString &separator)
{
    // The list never holds 0 or 1; the file names keep the start as typed.
    ListRequest request;
    request.first = std::max<qint64>(first, 2);
    request.last = last;
    request.baseName = QStringLiteral("NP_") + firstText + QLatin1Char('-') + lastText + QLatin1Char('_');
    request.separator = separator;
    return request;
}

QString ProposedFirstFile(const ListRequest &request)
{
    return request.baseName + FormaterChiffre(1);
}

std::optional<CommandError> ContinuationRefusal(const ListRequest &request, const QString &chosen,
                                                const ListHost &host)
{
    const QString &base = request.baseName;
    const QString name = QFileInfo(chosen).fileName();
    const QString suffix = QStringLiteral(".txt");
    if (!name.startsWith(base) || !name.endsWith(suffix) || name.size() <= base.size() + suffix.size())
        return std::nullopt;
    const QString number = name.mid(base.size(), name.size() - base.size() - suffix.size());
    bool ok = false;
    const qint64 k = number.toLongLong(&ok);
    if (!ok || k < 2 || quint64(k) > ListSlices(request))
        return std::nullopt;
    const QString path = host.ContinuationFilePath(chosen, base, k);
    if (QDir::cleanPath(path) != QDir::cleanPath(chosen))
        return std::nullopt;
    return CommandError::ContinuationClash(chosen, k);
}

ListResult GenerateList(ListHost &host, const ListRequest &request, StopToken &stop, const ListProgressFn &progress)
{
    host.ListStarts(request);
    ListRun run(host, request, stop, progress);
    // The host hears of the end once every file operation is done.
    const auto ended = qScopeGuard([&run, &host] {
        run.Drain();
        host.ListEnded();
    });
    try {
        run.Start();
        ListRun::Outcome outcome = run.Loop();
        if (outcome == ListRun::Outcome::Finished && !run.Finish())
            outcome = ListRun::Outcome::FileFailed;
        if (outcome == ListRun::Outcome::Stopped && !run.Stop())
            outcome = ListRun::Outcome::FileFailed;
        if (outcome == ListRun::Outcome::FileFailed)
            return run.FailureResult();
        return run.Result(outcome == ListRun::Outcome::Stopped);
    } catch (const CommandError &error) {
        // Memory ran out for the sieve: the files completed so far stay.
        ListResult result = run.Result(false);
        result.error = error;
        return result;
    }
}

qint64 ListPosition(const ListRequest &request, const ListProgress &progress)
{
    // Numbers are counted from the adjusted start, in unsigned arithmetic
    // so that no sum overflows at the ends of the 64-bit range.
    const quint64 first = quint64(request.first);
    const quint64 step = RoundHalfEven(ListSpan(request), 100) + 1;
    const quint64 done = progress.handledAny ? progress.lastHandled + 1 - first : 0;
    return qint64(std::min<quint64>(RoundHalfEven(done, step), quint64(std::numeric_limits<qint64>::max())));
}

quint64 ListSpan(const ListRequest &request)
{
    return request.last >= request.first ? quint64(request.last) - quint64(request.first) : 0;
}

quint64 ListSlices(const ListRequest &request)
{
    return ListSpan(request) / kNumbersPerFile + 1;
}

quint64 ListFilesKept(const ListRequest &request)
{
    const quint64 asked = quint64(std::max<qint64>(request.startFile, 1) - 1);
    return std::min<quint64>(asked, ListSlices(request) - 1);
}

quint64 ListFirstSieved(const ListRequest &request)
{
    return quint64(request.first) + ListFilesKept(request) * kNumbersPerFile;
}

std::optional<ForeseenFile> ForeseeLastFile(const ListRequest &request, bool separators, const QByteArray &sep)
{
    const quint64 files = ListSlices(request);
    if (files < 2 || request.last > kForeseenUpTo)
        return std::nullopt;
    // File k holds the slice from first + (k - 1) 10^6 on, as Run::Switch
    // moves its bound; every slice of 10^6 numbers holds primes below 2^63,
    // so no file is skipped before the last.
    const quint64 from = quint64(request.first) + (files - 1) * kNumbersPerFile;
    std::vector<quint64> primes;
    primesieve::generate_primes(from, quint64(request.last), &primes);
    if (primes.empty())
        return std::nullopt;
    const int sepLength = separators ? int(std::min<qsizetype>(sep.size(), 4)) : 0;
    const quint64 *const rest = primes.data() + 1;
    const quint64 *const end = primes.data() + primes.size();
    ForeseenFile file;
    file.k = qint64(files);
    file.count = qint64(primes.size());
    file.numberLines.resize(qsizetype(PrimeText::kMaxLine + PrimeText::LinesLength(rest, end, sepLength)));
    char *out = PrimeText::PlainLine(file.numberLines.data(), primes.front());
    out = PrimeText::Lines(rest, end, out, sep.constData(), sepLength);
    file.numberLines.truncate(out - file.numberLines.data());
    return file;
}
