// The estimate made before a list starts, against independent answers:
// libprimesieve's counts and primes, the bytes a real run writes for short
// ranges, and the bytes of every prime of the range summed one by one for
// long ranges high up, where the count is only estimated.
#include "HeadlessRun.h"

#include "core/Generation.h"
#include "core/ListEstimate.h"
#include "presentation/NumberText.h"
#include "core/PrimeCounting.h"
#include "listfiles/ListFileNames.h"
#include "listhost/ListShapeFor.h"

#include <primesieve.hpp>

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

// A separator of three bytes in Windows-1252, so that its bytes count.
const QString kSeparator = QStringLiteral("\u202F");
// "Nombres premiers de cette liste : ", in bytes.
constexpr qsizetype kCountLabel = 34;

int Digits(quint64 v)
{
    return int(QByteArray::number(v).size());
}

// Every prime of [a, last] walked in order: its line, the file it opens,
// each file's header, as a reader of the format would add them up.
quint64 BytesByWalking(quint64 a, quint64 last, const ListShape &shape, qint64 &files)
{
    const auto grouped = [&](quint64 v, int sepBytes) { return quint64(Digits(v) + (Digits(v) - 1) / 3 * sepBytes); };
    const auto header = [&](quint64 nameBytes, quint64 count) {
        return nameBytes + 2 + kCountLabel + (shape.separators ? grouped(count, shape.countSeparatorBytes) : Digits(count))
               + 2 + 3;
    };
    quint64 bytes = 0;
    quint64 count = 0;
    quint64 bound = a + 1000000;
    files = 1;
    primesieve::iterator it(a, last);
    for (quint64 p = it.next_prime(); p <= last; p = it.next_prime()) {
        if (p >= bound) {
            bytes += header(files == 1 ? quint64(shape.firstNameBytes) : quint64(shape.baseNameBytes) + 4 + std::max(2, Digits(quint64(files))), count);
            ++files;
            bound += 1000000;
            count = 0;
            bytes += quint64(Digits(p)) + 2; // a continuation file opens in plain digits
        } else {
            bytes += (shape.separators ? grouped(p, shape.numberSeparatorBytes) : quint64(Digits(p))) + 2;
        }
        ++count;
    }
    return bytes + header(files == 1 ? quint64(shape.firstNameBytes) : quint64(shape.baseNameBytes) + 4 + std::max(2, Digits(quint64(files))), count);
}

quint64 FolderBytes(const QString &folder)
{
    quint64 bytes = 0;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files))
        bytes += quint64(info.size());
    return bytes;
}

} // namespace

class TestListEstimate : public QObject
{
    Q_OBJECT

private slots:
    void matchesARealRun_data();
    void matchesARealRun();
    void exactCountsAndFiles();
    void longRangesWithinATenthOfAPercent_data();
    void longRangesWithinATenthOfAPercent();
    void wholeRangeIsFast();
};

void TestListEstimate::matchesARealRun_data()
{
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("last");
    QTest::addColumn<bool>("separators");
    QTest::newRow("from below 2") << qint64(-50) << qint64(2500000) << true;
    QTest::newRow("no prime at all") << qint64(114) << qint64(126) << true;
    QTest::newRow("last slice without prime") << qint64(1) << qint64(1000005) << false;
    // A slice starting just below 10^9 whose first prime has ten digits.
    QTest::newRow("continuation opens past 10^9") << qint64(998999950) << qint64(1000005000) << true;
    QTest::newRow("plain, across 10^7") << qint64(9000000) << qint64(11000001) << false;
    QTest::newRow("top of the range") << qint64(9223372036854525808) << qint64(9223372036854775807) << true;
}

void TestListEstimate::matchesARealRun()
{
    QFETCH(qint64, first);
    QFETCH(qint64, last);
    QFETCH(bool, separators);
    QTemporaryDir dir;
    const QString firstText = QString::number(first);
    const QString lastText = QString::number(last);
    const QString firstFile = dir.filePath(QStringLiteral("première liste.txt"));
    HeadlessRun run(firstFile, separators);
    Generer(run, first, last, firstText, lastText, kSeparator);
    QVERIFY2(run.messages.size() == 1, qPrintable(run.messages.join(u'\n')));

    const QString baseName = ListRequestFor(first, last, firstText, lastText, kSeparator).baseName;
    const ListEstimate estimate = EstimateList(first, last, ShapeForList(firstFile, baseName, separators, kSeparator));
    const qint64 files = QDir(dir.path()).entryList(QDir::Files).size();
    const quint64 a = quint64(std::max<qint64>(first, 2));
    QVERIFY(estimate.exact);
    QCOMPARE(estimate.primes, quint64(primesieve::count_primes(a, quint64(last))));
    QCOMPARE(estimate.files, files);
    QCOMPARE(estimate.bytes, FolderBytes(dir.path()));
}

void TestListEstimate::exactCountsAndFiles()
{
    // Random ranges from 10 numbers to 10^10, up to 10^16 (the top of the
    // range is a row of matchesARealRun): whatever the
    // counting path, an exact answer must be primesieve's, and the file
    // count is always that of the slice holding the last prime.
    QRandomGenerator random(19);
    const ListShape shape{12, 10, false, 1, 1, kCountLabel};
    for (int i = 0; i < 16; ++i) {
        const int spanDigits = 1 + int(random.bounded(10));
        const quint64 span = quint64(std::pow(10.0, spanDigits)) * (1 + random.bounded(9));
        const int heightDigits = std::min(15, spanDigits + int(random.bounded(i % 2 == 0 ? 3 : 8)));
        const quint64 top = std::min<quint64>(quint64(std::pow(10.0, heightDigits)) * (1 + random.bounded(9)),
                                              quint64(std::numeric_limits<qint64>::max()));
        const quint64 first = top > span ? top - span : 1;
        const quint64 last = top;
        const ListEstimate estimate = EstimateList(qint64(first), qint64(last), shape);
        const quint64 a = std::max<quint64>(first, 2);
        std::vector<quint64> tail;
        primesieve::generate_primes(std::max(a, last - std::min<quint64>(last, 5000)), last, &tail);
        const qint64 files = tail.empty() ? 1 : qint64((tail.back() - a) / 1000000 + 1);
        QCOMPARE(estimate.files, files);
        if (estimate.exact && last - a < 2'000'000'000ULL)
            QCOMPARE(estimate.primes, quint64(primesieve::count_primes(a, last)));
    }
}

void TestListEstimate::longRangesWithinATenthOfAPercent_data()
{
    QTest::addColumn<quint64>("first");
    QTest::addColumn<quint64>("span");
    QTest::addColumn<bool>("separators");
    QRandomGenerator random(1019);
    // Above 10^13, where no exact count fits the time budget.
    const quint64 first = 20'000'000'000'000ULL + random.bounded(quint64(1) << 46);
    QTest::addRow("%llu + 1.1e9", qulonglong(first)) << first << quint64(1'100'000'000) << false;
    QTest::newRow("across 10^14") << quint64(99'500'000'000'000ULL) << quint64(1'000'000'001) << true;
}

void TestListEstimate::longRangesWithinATenthOfAPercent()
{
    QFETCH(quint64, first);
    QFETCH(quint64, span);
    QFETCH(bool, separators);
    const quint64 last = first + span;
    const ListShape shape{40, 36, separators, 3, 3, kCountLabel};
    const ListEstimate estimate = EstimateList(qint64(first), qint64(last), shape);
    qint64 files = 0;
    const quint64 bytes = BytesByWalking(first, last, shape, files);
    const quint64 primes = quint64(primesieve::count_primes(first, last));
    QCOMPARE(estimate.files, files);
    QVERIFY2(std::abs(double(estimate.primes) - double(primes)) <= 1e-3 * double(primes),
             qPrintable(QStringLiteral("%1 vs %2").arg(estimate.primes).arg(primes)));
    QVERIFY2(std::abs(double(estimate.bytes) - double(bytes)) <= 1e-3 * double(bytes),
             qPrintable(QStringLiteral("%1 vs %2").arg(estimate.bytes).arg(bytes)));
    if (estimate.exact)
        QCOMPARE(estimate.bytes, bytes);
}

void TestListEstimate::wholeRangeIsFast()
{
    // The whole signed range: the largest prime below 2^63 is 2^63 - 25.
    const ListEstimate estimate = EstimateList(std::numeric_limits<qint64>::min(),
                                               std::numeric_limits<qint64>::max(), ListShape{20, 28, true, 1, 1, kCountLabel});
    QCOMPARE(estimate.files, qint64((9223372036854775783ULL - 2) / 1000000 + 1));
    QVERIFY(!estimate.exact);
    // pi(2^63 - 1) = 216 289 611 853 439 384.
    QVERIFY(std::abs(double(estimate.primes) / 216289611853439384.0 - 1) < 1e-6);
}

QTEST_GUILESS_MAIN(TestListEstimate)
#include "tst_listestimate.moc"
