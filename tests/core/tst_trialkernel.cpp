// The trial-division kernel on every path this processor runs, with one
// and two threads, against the plain loops: the same divisor found, the
// same division count and the same calls at every checkpoint.
#include "core/Arithmetic.h"
#include "core/TrialKernel.h"
#include "oracles/PlainTrialDivision.h"

#include <QRandomGenerator>
#include <QtTest>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <sched.h>
#include <thread>

namespace {

struct Run {
    TrialOutcome outcome;
    quint64 d;
    quint32 counter;
    QList<quint64> checkpoints;

    bool operator==(const Run &) const = default;
};

// Runs a whole list of numbers through one trial division, the counter
// carrying over from each number to the next as in a list of numbers.
// The checkpoint numbered stopAt (from 1, over the whole list) asks to
// stop; 0 never does.
template <typename Divide>
QList<Run> RunAll(const QList<quint64> &numbers, int stopAt, Divide divide)
{
    QList<Run> runs;
    quint32 counter = 0;
    int checkpoints = 0;
    for (const quint64 n : numbers) {
        Run run{};
        const quint64 limit = ISqrt(n + 1);
        run.outcome = divide(n, limit, counter, run.d, [&](quint64 d) {
            run.checkpoints << d;
            return ++checkpoints == stopAt;
        });
        run.counter = counter;
        runs << run;
    }
    return runs;
}

QString Describe(const Run &run)
{
    QStringList points;
    for (const quint64 d : run.checkpoints.mid(0, 4))
        points << QString::number(d);
    return QStringLiteral("outcome %1, d %2, counter %3, %4 checkpoints (%5...)")
        .arg(int(run.outcome))
        .arg(run.d)
        .arg(run.counter)
        .arg(run.checkpoints.size())
        .arg(points.join(QLatin1Char(',')));
}

// The first divisor of value in [first, last] by testing every integer.
quint64 PlainFirstDivisor(quint64 value, quint64 first, quint64 last)
{
    for (quint64 d = first; d <= last; ++d)
        if (value % d == 0)
            return d;
    return 0;
}

// Chunk bounds that depend on the chunk's start only, so that the plain walk
// and the search see the same chunks: a quarter of one candidate, the rest
// up to 60 000, and every cut in `cuts` a chunk's last candidate.
quint64 IrregularChunkEnd(quint64 chunkFirst, const QList<quint64> &cuts)
{
    const quint64 mixed = (chunkFirst * 0x9E3779B97F4A7C15u) >> 40;
    quint64 chunkLast = mixed % 4 == 0 ? chunkFirst : chunkFirst + mixed % 60000;
    for (const quint64 cut : cuts)
        if (cut >= chunkFirst && cut < chunkLast)
            chunkLast = cut;
    return chunkLast;
}

QList<quint64> RandomNumbers(quint64 from, quint64 to, int count, quint32 seed)
{
    QRandomGenerator random(seed);
    QList<quint64> numbers;
    for (int i = 0; i < count; ++i)
        numbers << random.bounded(from, to);
    return numbers;
}

} // namespace

class TestTrialKernel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(sched_getaffinity(0, sizeof everyCore_, &everyCore_), 0); }

    void cleanup()
    {
        UseKernelPath(AvailableKernelPaths().last());
        UseDivisionThreads(0);
        QCOMPARE(sched_setaffinity(0, sizeof everyCore_, &everyCore_), 0);
    }

    void sameAsPlainLoop_data();
    void sameAsPlainLoop();
    void orderedSearch_data();
    void orderedSearch();
    void factorisationBlocks_data();
    void factorisationBlocks();
    void unavailablePathRefused();

private:
    cpu_set_t everyCore_;
};

void TestTrialKernel::sameAsPlainLoop_data()
{
    QTest::addColumn<QList<quint64>>("numbers");
    QTest::addColumn<int>("stopAt");
    const quint64 int64Max = quint64(std::numeric_limits<qint64>::max());
    // A stop in the middle of a long search, and at the first checkpoint
    // of the second number, which comes before its search.
    QTest::newRow("stopped at checkpoint 700") << QList<quint64>{99999999999999997, 1000003ull * 1000033} << 700;
    QTest::newRow("stopped before a search") << (QList<quint64>(99999, 4) << 1000000007) << 1;
    QTest::newRow("small numbers") << [] {
        QList<quint64> all;
        for (quint64 n = 0; n < 3000; ++n)
            all << n;
        return all;
    }() << 0;
    QTest::newRow("primes") << QList<quint64>{2, 3, 97, 32749, 32771, 1000000007, 999999999989, 99999999999999997} << 0;
    QTest::newRow("largest prime below 2^63") << QList<quint64>{9223372036854775783u} << 0;
    QTest::newRow("2^63 - 1 and neighbours") << QList<quint64>{int64Max, int64Max - 1, int64Max - 2} << 0;
    // Either side of the 2^15 where the SIMD paths take over.
    QTest::newRow("squares of primes") << QList<quint64>{32749ull * 32749, 32771ull * 32771, 1000003ull * 1000003} << 0;
    QTest::newRow("products of close primes")
        << QList<quint64>{32749ull * 32771, 199967ull * 200003, 99999989ull * 99999971, 2147483647ull * 2147483659}
        << 0;
    // The 100 000th division is by 199 999, a prime: found right at the
    // checkpoint, just before it, just after it.
    QTest::newRow("around a checkpoint")
        << QList<quint64>{199999ull * 200003, 199999ull * 199999, 199967ull * 199999, 200003ull * 200003} << 0;
    QTest::newRow("random below 10^6") << RandomNumbers(2, 1000000, 2500, 1) << 0;
    QTest::newRow("random below 10^14") << RandomNumbers(1000000, 100000000000000, 2500, 2) << 0;
    // Near 2^63 with a smallest factor between 2^15 and 2^20.
    QTest::newRow("random near 2^63, middle factor") << [] {
        QRandomGenerator random(4);
        QList<quint64> numbers;
        for (int i = 0; i < 2500; ++i) {
            const quint64 p = random.bounded(quint64(1) << 15, quint64(1) << 20) | 1;
            numbers << p * random.bounded((quint64(1) << 62) / p, int64Max / p);
        }
        return numbers;
    }() << 0;
}

void TestTrialKernel::sameAsPlainLoop()
{
    QFETCH(QList<quint64>, numbers);
    QFETCH(int, stopAt);
    const QList<Run> expected = RunAll(numbers, stopAt, [](auto &&...args) { return PlainTrialDivide(args...); });
    for (const KernelPath path : AvailableKernelPaths()) {
        for (const int threads : {1, 2}) {
            QVERIFY(UseKernelPath(path));
            UseDivisionThreads(threads);
            const QList<Run> runs =
                RunAll(numbers, stopAt, [](auto &&...args) { return TrialDivide(args...); });
            for (int i = 0; i < numbers.size(); ++i)
                QVERIFY2(runs[i] == expected[i], qPrintable(QStringLiteral("%1, %2 threads, n = %3: %4 instead of %5")
                                                                .arg(QLatin1String(KernelPathName(path)))
                                                                .arg(threads)
                                                                .arg(numbers[i])
                                                                .arg(Describe(runs[i]), Describe(expected[i]))));
        }
    }
}

void TestTrialKernel::orderedSearch_data()
{
    QTest::addColumn<quint64>("value");
    QTest::addColumn<quint64>("first");
    QTest::addColumn<quint64>("last");
    QTest::addColumn<QList<quint64>>("cuts");
    QTest::addColumn<int>("stopAt");
    const quint64 p21 = 2097169; // the first prime above 2^21
    QTest::newRow("prime, whole range") << quint64(10000000000037) << quint64(2) << quint64(3162278)
                                        << QList<quint64>{} << 0;
    QTest::newRow("divisor inside a chunk") << p21 * 3000017 << quint64(2) << quint64(3000017)
                                            << QList<quint64>{p21 - 20, p21 + 20} << 0;
    QTest::newRow("divisor last of its chunk") << p21 * 3000017 << quint64(2) << quint64(3000017)
                                               << QList<quint64>{p21} << 0;
    QTest::newRow("divisor first of its chunk") << p21 * 3000017 << quint64(2) << quint64(3000017)
                                                << QList<quint64>{p21 - 1} << 0;
    QTest::newRow("divisor a chunk of its own") << p21 * 3000017 << quint64(2) << quint64(3000017)
                                                << QList<quint64>{p21 - 1, p21} << 0;
    QTest::newRow("near 2^63, from above the wheel") << quint64(4200013) * 2196033163943 << quint64(211)
                                                     << quint64(4200013) << QList<quint64>{4200013 - 1} << 0;
    QTest::newRow("stopped at chunk 40") << quint64(10000000000037) << quint64(2) << quint64(3162278)
                                         << QList<quint64>{} << 40;
    QTest::newRow("stopped just below the divisor") << p21 * 3000017 << quint64(2) << quint64(3000017)
                                                    << QList<quint64>{p21 - 1} << -1;
    QTest::newRow("stopped at the last chunk") << quint64(10000000000037) << quint64(2) << quint64(3162278)
                                               << QList<quint64>{} << -1;
}

void TestTrialKernel::orderedSearch()
{
    // The search against a plain walk through the same chunks, testing
    // every integer: the same divisor, the same chunkDone calls, all of
    // them on this thread, and never more than a few chunks cut ahead.
    // stopAt counts chunkDone calls from 1; -1 stops at the last one the
    // plain walk makes, just below the divisor or at the end of the range.
    QFETCH(quint64, value);
    QFETCH(quint64, first);
    QFETCH(quint64, last);
    QFETCH(QList<quint64>, cuts);
    QFETCH(int, stopAt);
    const auto chunkEnd = [&](quint64 chunkFirst) { return IrregularChunkEnd(chunkFirst, cuts); };

    QList<quint64> expectedDone;
    DivisorSearch expected;
    for (quint64 chunkFirst = first; chunkFirst <= last;) {
        const quint64 chunkLast = std::min(chunkEnd(chunkFirst), last);
        expected.divisor = PlainFirstDivisor(value, chunkFirst, chunkLast);
        if (expected.divisor != 0)
            break;
        expectedDone << chunkLast;
        chunkFirst = chunkLast + 1;
    }
    if (stopAt == -1)
        stopAt = int(expectedDone.size());
    if (stopAt > 0) {
        QVERIFY(stopAt <= expectedDone.size());
        expectedDone.resize(stopAt);
        expected = {0, true};
    }

    // With one core allowed, the helper waits while the calling thread runs.
    const std::thread::id caller = std::this_thread::get_id();
    cpu_set_t oneCore;
    CPU_ZERO(&oneCore);
    CPU_SET(sched_getcpu(), &oneCore);
    for (const KernelPath path : AvailableKernelPaths()) {
        for (const int threads : {1, 2, -2}) {
            QVERIFY(UseKernelPath(path));
            UseDivisionThreads(std::abs(threads));
            const cpu_set_t &allowed = threads < 0 ? oneCore : everyCore_;
            QCOMPARE(sched_setaffinity(0, sizeof allowed, &allowed), 0);
            const QString where = QStringLiteral("%1, %2 threads%3")
                                      .arg(QLatin1String(KernelPathName(path)))
                                      .arg(std::abs(threads))
                                      .arg(threads < 0 ? QStringLiteral(" on one core") : QString());
            QList<quint64> ends; // chunkEnd's calls are never at the same time
            std::atomic<int> cut{0};
            QList<quint64> done;
            bool elsewhere = false;
            int mostAhead = 0;
            const DivisorSearch search = SmallestDivisorInOrder(
                value, first, last,
                [&](quint64 chunkFirst) {
                    ends << chunkFirst;
                    ++cut;
                    return chunkEnd(chunkFirst);
                },
                [&](quint64 chunkLast) {
                    elsewhere |= std::this_thread::get_id() != caller;
                    done << chunkLast;
                    mostAhead = std::max(mostAhead, cut.load() - int(done.size()));
                    return int(done.size()) == stopAt;
                });
            QVERIFY2(search.divisor == expected.divisor && search.stopped == expected.stopped,
                     qPrintable(QStringLiteral("%1: %2, %3 instead of %4, %5")
                                    .arg(where)
                                    .arg(search.divisor)
                                    .arg(search.stopped)
                                    .arg(expected.divisor)
                                    .arg(expected.stopped)));
            QVERIFY2(done == expectedDone, qPrintable(where));
            QVERIFY2(!elsewhere, qPrintable(where));
            QVERIFY2(mostAhead <= 3 * std::abs(threads), qPrintable(QStringLiteral("%1: %2 ahead").arg(where).arg(mostAhead)));
            QVERIFY2(std::is_sorted(ends.begin(), ends.end()) && ends.first() == first, qPrintable(where));
        }
    }
}

void TestTrialKernel::factorisationBlocks_data()
{
    QTest::addColumn<QList<quint64>>("numbers");
    QTest::newRow("random below 2^40") << RandomNumbers(2, quint64(1) << 40, 100, 5);
    QTest::newRow("products near 2^63") << QList<quint64>{9223372036854775783u, 9223372036854775807u,
                                                           2147483647ull * 2147483659, 32771ull * 32771 * 32771 * 32771,
                                                           quint64(1) << 62, 3ull * 3 * 2071723 * 5363222357};
}

void TestTrialKernel::factorisationBlocks()
{
    // Factorisation tries every integer, dividing out each factor found, in
    // blocks of random length; each block must give the divisor the plain
    // loop gives. Large cofactors are factorised only up to a few million.
    QFETCH(QList<quint64>, numbers);
    QRandomGenerator random(6);
    for (const quint64 n : numbers) {
        const quint32 seed = random.generate();
        QList<quint64> expected;
        QList<QList<quint64>> found;
        for (const KernelPath path : AvailableKernelPaths()) {
            QVERIFY(UseKernelPath(path));
            QRandomGenerator blocks(seed);
            QList<quint64> divisors;
            quint64 x = n;
            quint64 d = 2;
            while (d <= 3000000 && d <= ISqrt(x)) {
                const quint64 last = std::min(d + blocks.bounded(1, 5000), ISqrt(x));
                const quint64 plain = PlainFirstDivisor(x, d, last);
                const quint64 kernel = SmallestDivisor(x, d, last);
                QVERIFY2(kernel == plain, qPrintable(QStringLiteral("%1, n = %2, [%3, %4]: %5 instead of %6")
                                                         .arg(QLatin1String(KernelPathName(path)))
                                                         .arg(n)
                                                         .arg(d)
                                                         .arg(last)
                                                         .arg(kernel)
                                                         .arg(plain)));
                if (kernel == 0) {
                    d = last + 1;
                    continue;
                }
                divisors << kernel;
                while (x % kernel == 0)
                    x /= kernel;
                d = kernel + 1;
            }
            found << divisors;
        }
        for (const QList<quint64> &divisors : found)
            QCOMPARE(divisors, found.first());
    }
}

void TestTrialKernel::unavailablePathRefused()
{
    const QList<KernelPath> paths = AvailableKernelPaths();
    QCOMPARE(paths.first(), KernelPath::Scalar);
    QCOMPARE(CurrentKernelPath(), paths.last());
    for (const KernelPath path : {KernelPath::Scalar, KernelPath::Avx2, KernelPath::Avx512}) {
        QCOMPARE(UseKernelPath(path), paths.contains(path));
        if (paths.contains(path))
            QCOMPARE(CurrentKernelPath(), path);
    }
}

QTEST_GUILESS_MAIN(TestTrialKernel)
#include "tst_trialkernel.moc"
