// The estimate made before a list starts, timed for ranges from 10 numbers
// to the whole signed 64-bit range (its budget is 0.2 s), then
// "tavorine-cli compter" against the primecount and primesieve command line
// tools counting the same range, side by side in one run.
#include "core/ListEstimate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

double Seconds(const QString &program, const QStringList &arguments, QByteArray &output)
{
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s could not run\n", qPrintable(program));
        return -1;
    }
    output = process.readAllStandardOutput().trimmed();
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The header label "Nombres premiers de cette liste : " takes 34 bytes.
    const ListShape shape{24, 20, true, 1, 1, 34};
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    struct Range {
        const char *name;
        qint64 first;
        qint64 last;
    };
    const Range ranges[] = {
        {"10 numbers at 1", 1, 10},
        {"10 numbers at 2^63", kMax - 9, kMax},
        {"10^6 at 10^18", 1'000'000'000'000'000'000, 1'000'000'000'001'000'000},
        {"10^9 at 10^12", 1'000'000'000'000, 1'001'000'000'000},
        {"1 to 10^12", 1, 1'000'000'000'000},
        {"1 to 3 * 10^12", 1, 3'000'000'000'000},
        {"1 to 10^13", 1, 10'000'000'000'000},
        {"10^10 at 10^18", 1'000'000'000'000'000'000, 1'000'000'010'000'000'000},
        {"1 to 10^15", 1, 1'000'000'000'000'000},
        {"whole signed range", std::numeric_limits<qint64>::min(), kMax},
    };
    std::printf("Estimate before a list (first call of the process includes the pace measurement)\n");
    double worst = 0;
    for (const Range &range : ranges) {
        QElapsedTimer timer;
        timer.start();
        const ListEstimate estimate = EstimateList(range.first, range.last, shape);
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        worst = std::max(worst, seconds);
        std::printf("  %-22s %8.4f s  %s %llu primes, %lld files\n", range.name, seconds,
                    estimate.exact ? "exact" : "about", qulonglong(estimate.primes), qlonglong(estimate.files));
    }
    std::printf("  longest: %.4f s (budget 0.2 s)\n\n", worst);

    std::printf("tavorine-cli compter against the peers, wall time of each process\n");
    struct Count {
        const char *name;
        QString first;
        QString last;
        QString peer;
        QStringList peerArguments;
    };
    const Count counts[] = {
        {"1 to 10^13", QStringLiteral("1"), QStringLiteral("10000000000000"), QStringLiteral("primecount"),
         {QStringLiteral("1e13")}},
        {"[10^18, 10^18 + 10^10]", QStringLiteral("1000000000000000000"), QStringLiteral("1000000010000000000"),
         QStringLiteral("primesieve"), {QStringLiteral("1e18"), QStringLiteral("1e18+1e10"), QStringLiteral("-c"), QStringLiteral("-q")}},
    };
    for (const Count &count : counts) {
        QByteArray ours;
        QByteArray theirs;
        const double mine = Seconds(QStringLiteral(TAVORINE_CLI), {QStringLiteral("compter"), count.first, count.last}, ours);
        const double peer = Seconds(count.peer, count.peerArguments, theirs);
        std::printf("  %-24s tavorine-cli %7.3f s (%s)  %s %7.3f s (%s)  ratio %.3f\n", count.name, mine,
                    ours.constData(), qPrintable(count.peer), peer, theirs.constData(), mine / peer);
    }
    return 0;
}
