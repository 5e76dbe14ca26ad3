// The list generation against a fake window with files in memory: slices,
// progress and status, the stop, cancelling, file errors, and ranges at
// the ends of the 64-bit range.
#include "FakeHost.h"
#include "oracles/PlainPrimes.h"

#include "core/Generation.h"
#include "presentation/NumberText.h"
#include "core/PrimeText.h"

#include <QSet>
#include <QtTest>
#include <limits>

namespace {

// The separator of the lists.
const QString kSeparator = QStringLiteral(" ");

QStringList Positions(const FakeHost &host)
{
    QStringList positions;
    for (const QString &entry : host.log.filter(QStringLiteral("panel2:")))
        if (positions.isEmpty() || positions.last() != entry)
            positions << entry.mid(7);
    return positions;
}

// A number line the plain way: the decimal text, a separator before every
// third digit from the right, CR LF.
QByteArray PlainGroupedLine(quint64 v, const QByteArray &separator)
{
    const QByteArray digits = QByteArray::number(v);
    QByteArray line;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            line += separator;
        line += digits[i];
    }
    return line + "\r\n";
}

} // namespace

class TestGeneration : public QObject
{
    Q_OBJECT

private slots:
    void smallestRange();
    void numberLinesAtDigitCountEdges_data();
    void numberLinesAtDigitCountEdges();
    void progressAtEveryPumpIsThatOfAPrimeHandled_data();
    void progressAtEveryPumpIsThatOfAPrimeHandled();
    void slicesCountFromTheAdjustedStart();
    void cancelledOrRefusedWritesNothing_data();
    void cancelledOrRefusedWritesNothing();
    void stopWritesTheHeaderOfWhatIsOnDisk();
    void fileErrorIsReported();
    void topOfTheRangeEnds();
};

void TestGeneration::smallestRange()
{
    FakeHost host;
    Generer(host, 14, 23, QStringLiteral("14"), QStringLiteral("23"), kSeparator);
    QCOMPARE(host.proposed, QStringLiteral("NP_14-23_01"));
    QCOMPARE(host.files[QStringLiteral("first")],
             QStringList({"first", "Nombres premiers de cette liste : 3", " ", "17", "19", "23"}));
    QCOMPARE(Positions(host).last(), QStringLiteral("100 %"));
    QCOMPARE(host.panels[3], QStringLiteral("Terminé..."));
    QCOMPARE(host.messages,
             QStringList{"Votre liste de numéros est prête et a été enregistrée avec succès en 1 fichier(s)."});
    QCOMPARE(host.razFinCalls, 0);
}

void TestGeneration::numberLinesAtDigitCountEdges_data()
{
    QTest::addColumn<QByteArray>("separator");
    QTest::newRow("plain") << QByteArray();
    QTest::newRow("one byte") << QByteArray("\xA0");
    QTest::newRow("two bytes") << QByteArray("ab");
    QTest::newRow("four bytes") << QByteArray("abcd");
}

void TestGeneration::numberLinesAtDigitCountEdges()
{
    // Each side of every power of ten, where the digit count and the groups
    // change, and the ends of the 64-bit range: each line, and the bytes a
    // list reserves for them all.
    QFETCH(QByteArray, separator);
    QList<quint64> numbers{0, 1};
    for (quint64 power = 10; power <= 1'000'000'000'000'000'000ull; power *= 10)
        numbers << power - 1 << power << power + 1;
    numbers << 18'446'744'073'709'551'614ull << 18'446'744'073'709'551'615ull;
    QByteArray expected;
    for (const quint64 v : numbers) {
        const QByteArray line = PlainGroupedLine(v, separator);
        expected += line;
        char one[PrimeText::kMaxLine];
        const char *end = separator.isEmpty()
                              ? PrimeText::PlainLine(one, v)
                              : PrimeText::GroupedLine(one, v, separator.constData(), int(separator.size()));
        QCOMPARE(QByteArray(one, end - one), line);
    }
    QCOMPARE(PrimeText::LinesLength(numbers.constData(), numbers.constData() + numbers.size(), int(separator.size())),
             std::size_t(expected.size()));
    // Lines written together share what they have in common: runs of
    // increasing numbers with gaps of 1 to 1 500 from a fixed seed, across
    // thousands, digit counts and the top of the range; nothing may be
    // written past the end, where another thread may be writing.
    QList<quint64> walks;
    QByteArray walked;
    quint64 state = 0x9E3779B97F4A7C15ull;
    for (const quint64 start : {quint64(990), quint64(999'990'000), quint64(99'999'999'999'990'000ull),
                                quint64(std::numeric_limits<qint64>::max()) - 4'000'000}) {
        quint64 v = start;
        for (int i = 0; i < 4000; ++i) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            v += 1 + state % (i % 3 == 0 ? 1500 : 40);
            walks << v;
            walked += PlainGroupedLine(v, separator);
        }
    }
    for (const auto &[list, lines] : {std::pair(numbers, expected), std::pair(walks, walked)}) {
        QByteArray written(lines.size() + 64, '#');
        const char *end = PrimeText::Lines(list.constData(), list.constData() + list.size(), written.data(),
                                           separator.constData(), int(separator.size()));
        QCOMPARE(QByteArray(written.constData(), end - written.constData()), lines);
        QCOMPARE(written.mid(lines.size()), QByteArray(64, '#'));
    }
}

void TestGeneration::progressAtEveryPumpIsThatOfAPrimeHandled_data()
{
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("last");
    QTest::newRow("2 to 10 000, step 101") << qint64(2) << qint64(10000);
    QTest::newRow("1 to 3 000 000, three files") << qint64(1) << qint64(3000000);
    QTest::newRow("smallest range, step 1") << qint64(14) << qint64(23);
}

void TestGeneration::progressAtEveryPumpIsThatOfAPrimeHandled()
{
    // Whenever the window may paint, the bar holds round((n + 1 - start) / s)
    // for the last prime n handled (0 before the first), and panels 1 and 2
    // hold the time and that position, even when a page change emptied them
    // at the pump before.
    QFETCH(qint64, first);
    QFETCH(qint64, last);
    const quint64 start = quint64(std::max<qint64>(first, 2));
    const quint64 step = (quint64(last) - start + 50) / 100 + 1; // no tie for these ranges
    QSet<int> allowed{0};
    for (const quint64 p : PrimesByTrialDivision(start, quint64(last)))
        allowed.insert(int((p + 1 - start + step / 2) / step));
    FakeHost host;
    int previous = 0;
    QStringList faults;
    host.onPump = [&](FakeHost &h) {
        if (!allowed.contains(h.position) || h.position < previous)
            faults << QStringLiteral("position %1 after %2").arg(h.position).arg(previous);
        if (h.panels[2] != PercentText(h.position) || !h.panels[1].startsWith(QStringLiteral("Temps : ")))
            faults << QStringLiteral("panels '%1' '%2' at %3").arg(h.panels[1], h.panels[2]).arg(h.position);
        previous = h.position;
        h.panels[1].clear();
        h.panels[2].clear();
    };
    Generer(host, first, last, QString::number(first), QString::number(last), kSeparator);
    QCOMPARE(faults, QStringList());
    QCOMPARE(host.panels[2], QStringLiteral("100 %"));
}

void TestGeneration::slicesCountFromTheAdjustedStart()
{
    FakeHost host;
    host.separators = true;
    Generer(host, 0, 2000000, QStringLiteral("0"), QStringLiteral("2000000"), kSeparator);
    const QStringList first = host.files[QStringLiteral("first")];
    const QStringList second = host.files[QStringLiteral("NP_0-2000000_02")];
    QCOMPARE(first.value(1), QStringLiteral("Nombres premiers de cette liste : 78498"));
    QCOMPARE(first.value(3), QStringLiteral("2"));
    QCOMPARE(first.last(), QStringLiteral("999 983"));
    // The first number of a continuation file is always in plain digits.
    QCOMPARE(second.value(3), QStringLiteral("1000003"));
    QCOMPARE(second.value(4), QStringLiteral("1 000 033"));
    QCOMPARE(second.size(), 3 + 70435);
    QVERIFY(host.messages.value(0).endsWith(QStringLiteral(" en 2 fichier(s).")));
}

void TestGeneration::cancelledOrRefusedWritesNothing_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("dialog cancelled") << true;
    QTest::newRow("overwrite refused") << false;
}

void TestGeneration::cancelledOrRefusedWritesNothing()
{
    QFETCH(bool, cancel);
    FakeHost host;
    if (cancel)
        host.chosenFile.reset();
    else
        host.refuseOverwrite = true;
    Generer(host, 1, 100, QStringLiteral("1"), QStringLiteral("100"), kSeparator);
    QVERIFY(host.files.isEmpty());
    QVERIFY(host.messages.isEmpty());
    QCOMPARE(host.razFinCalls, 1);
}

void TestGeneration::stopWritesTheHeaderOfWhatIsOnDisk()
{
    // Stopped in some file k >= 2 of a long list: the files before it are
    // complete, file k holds its header over its first prime alone, and no
    // later file exists.
    FakeHost host;
    host.onPump = [](FakeHost &h) {
        if (h.files.contains(QStringLiteral("NP_1-3000000000_02")))
            h.stop = true;
    };
    Generer(host, 1, 3000000000, QStringLiteral("1"), QStringLiteral("3000000000"), kSeparator);
    QCOMPARE(host.razFinCalls, 1);
    QVERIFY(host.messages.isEmpty());
    QCOMPARE(host.files[QStringLiteral("first")].size(), 3 + 78498);
    const qint64 files = host.files.size();
    QVERIFY(files >= 2 && files < 3000);
    for (qint64 k = 2; k < files; ++k)
        QVERIFY(host.files.value(QStringLiteral("NP_1-3000000000_%1").arg(k, 2, 10, QLatin1Char('0'))).size() > 3 + 1);
    const QString current = QStringLiteral("NP_1-3000000000_%1").arg(files, 2, 10, QLatin1Char('0'));
    // The first prime of slice k, from the plain rule.
    const quint64 bound = 2 + 1000000 * quint64(files - 1);
    const QList<quint64> near = PrimesByTrialDivision(bound, bound + 200);
    QCOMPARE(host.files.value(current), QStringList({current, "Nombres premiers de cette liste : 1", " ",
                                                     QString::number(near.value(0))}));
}

void TestGeneration::fileErrorIsReported()
{
    FakeHost host;
    host.failingFile = QStringLiteral("NP_1-2000000_02");
    Generer(host, 1, 2000000, QStringLiteral("1"), QStringLiteral("2000000"), kSeparator);
    QCOMPARE(host.messages, QStringList{QStringLiteral("échec NP_1-2000000_02")});
    QCOMPARE(host.razFinCalls, 1);
    QCOMPARE(host.files[QStringLiteral("first")].value(1), QStringLiteral("Nombres premiers de cette liste : 78498"));
}

void TestGeneration::topOfTheRangeEnds()
{
    const qint64 max = std::numeric_limits<qint64>::max();
    FakeHost host;
    Generer(host, max - 23, max, QString::number(max - 23), QString::number(max), kSeparator);
    QCOMPARE(host.files[QStringLiteral("first")].value(1), QStringLiteral("Nombres premiers de cette liste : 0"));
    QCOMPARE(host.panels[2], QStringLiteral("100 %"));
}

QTEST_GUILESS_MAIN(TestGeneration)
#include "tst_generation.moc"
