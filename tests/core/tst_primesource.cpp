// PrimeSource's contract: every prime of the range once, in increasing
// order, in bounded blocks ending on one marked last; and a stop that lets
// the worker go instead of waiting for it.
#include "core/PrimeSource.h"
#include "oracles/PlainPrimes.h"

#include <QDir>
#include <QtTest>
#include <limits>

namespace {

// The threads of this process, the sieve's among them while it runs.
int ThreadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

} // namespace

class TestPrimeSource : public QObject
{
    Q_OBJECT

private slots:
    void stopLetsTheWorkerGo_data();
    void stopLetsTheWorkerGo();
    void blocks_data();
    void blocks();
};

void TestPrimeSource::stopLetsTheWorkerGo_data()
{
    QTest::addColumn<quint64>("first");
    QTest::addColumn<quint64>("last");
    QTest::addColumn<bool>("sieving");
    const quint64 top = quint64(std::numeric_limits<qint64>::max());
    // Near 2^63 the first sieving step builds the primes up to 3·10^9 and
    // lasts seconds: the stop comes in the middle of it. Low down, blocks
    // come at once and the worker soon waits for room in the queue.
    QTest::newRow("inside the first sieving step") << top - 1'000'000 << top << true;
    QTest::newRow("with blocks waiting") << quint64(0) << quint64(10'000'000'000) << false;
}

void TestPrimeSource::stopLetsTheWorkerGo()
{
    QFETCH(quint64, first);
    QFETCH(quint64, last);
    QFETCH(bool, sieving);
    const int before = ThreadCount();
    {
        PrimeSource source(first, last);
        if (!sieving) {
            PrimeSource::Block block;
            while (!source.Next(block, std::chrono::seconds(1))) {
            }
            QVERIFY(!block.last);
        }
    }
    // The worker was not waited for: it is still in its step (which cannot
    // have ended this soon); either way it ends at its next look.
    if (sieving)
        QCOMPARE(ThreadCount(), before + 1);
    QTRY_COMPARE_WITH_TIMEOUT(ThreadCount(), before, 120'000);
}

void TestPrimeSource::blocks_data()
{
    QTest::addColumn<quint64>("first");
    QTest::addColumn<quint64>("last");
    QTest::newRow("from 0") << quint64(0) << quint64(100);
    QTest::newRow("one prime") << quint64(7) << quint64(7);
    QTest::newRow("no prime") << quint64(24) << quint64(28);
    QTest::newRow("two million") << quint64(1) << quint64(2'000'000);
    QTest::newRow("high up") << quint64(10'000'000'000) << quint64(10'000'020'000);
    // Long enough for blocks of 65 536 primes: checked by count and sum.
    QTest::newRow("one to 10^9") << quint64(1) << quint64(1'000'000'000);
}

void TestPrimeSource::blocks()
{
    QFETCH(quint64, first);
    QFETCH(quint64, last);
    const quint64 span = std::max<quint64>((last - first) / 256, 1);
    QList<quint64> primes;
    quint64 count = 0;
    quint64 sum = 0;
    quint64 previous = 0;
    const bool whole = last - first <= 100'000'000;
    PrimeSource source(first, last);
    for (PrimeSource::Block block; !block.last;) {
        if (!source.Next(block, std::chrono::seconds(1)))
            continue;
        QVERIFY(!block.failed);
        QVERIFY2(block.primes.size() <= PrimeSource::kBlockSize, qPrintable(QString::number(block.primes.size())));
        if (!block.primes.empty())
            QVERIFY2(block.primes.back() - block.primes.front() < span,
                     qPrintable(QStringLiteral("block from %1 to %2").arg(block.primes.front()).arg(block.primes.back())));
        for (const quint64 p : block.primes) {
            if (p <= previous && count != 0)
                QFAIL(qPrintable(QStringLiteral("%1 after %2").arg(p).arg(previous)));
            previous = p;
            ++count;
            sum += p;
            if (whole)
                primes << p;
        }
        source.Recycle(std::move(block.primes));
    }
    if (whole) {
        QCOMPARE(primes, PrimesByTrialDivision(first, last));
    } else {
        // pi(10^9) and the sum of the primes below 10^9, as published.
        QCOMPARE(count, quint64(50'847'534));
        QCOMPARE(sum, quint64(24'739'512'092'254'535));
    }
}

QTEST_GUILESS_MAIN(TestPrimeSource)
#include "tst_primesource.moc"
