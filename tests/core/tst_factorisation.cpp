// The factorisation against a fake window: factor lines compared with an
// independent factorisation, the heading and verdict, the progress bar,
// the three places a stop is honoured, and negative numbers.
#include "FakeHost.h"

#include "core/CommandError.h"
#include "core/Factorisation.h"
#include "presentation/NumberText.h"
#include "core/TrialKernel.h"

#include <QRandomGenerator>
#include <QtTest>
#include <limits>

namespace {

const QString kEnTete = QStringLiteral("La décomposition en facteurs premiers a donné : ");

// Factor lines computed independently: prime powers in increasing order,
// every line but the last followed by a space.
QStringList NaiveFactorLines(quint64 n)
{
    if (n == 0)
        return {QStringLiteral("0")};
    if (n == 1)
        return {QStringLiteral("(1^1)")};
    QStringList lines;
    for (quint64 p = 2; p <= n / p; ++p) {
        int k = 0;
        while (n % p == 0) {
            n /= p;
            ++k;
        }
        if (k > 0)
            lines << QStringLiteral("(%1^%2) ").arg(p).arg(k);
    }
    if (n > 1)
        lines << QStringLiteral("(%1^1)").arg(n);
    return lines;
}

// The lines between the heading and the verdict.
QStringList FactorLines(const FakeHost &host)
{
    return host.Texts().mid(6, host.lines.size() - 9);
}

QString Verdict(const FakeHost &host)
{
    return host.lines.value(host.lines.size() - 2).text;
}

} // namespace

class TestFactorisation : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { UseKernelPath(AvailableKernelPaths().last()); }

    void table_data();
    void table();
    void agreesWithNaiveFactorisation();
    void headingAndVerdictFormat();
    void largeSemiprime();
    void progressFollowsTheCounter();
    void sameOnEveryKernelPath_data();
    void sameOnEveryKernelPath();
    void stopBeforeTheLoop();
    void stopAfterANonDivisor();
    void stopInsideAFactor();
    void negativeNumberFailsAfterHeading_data();
    void negativeNumberFailsAfterHeading();
};

void TestFactorisation::table_data()
{
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("factors");
    QTest::addColumn<bool>("prime");
    QTest::newRow("0") << qint64(0) << "0" << QStringList{"0"} << false;
    QTest::newRow("1") << qint64(1) << "1" << QStringList{"(1^1)"} << false;
    QTest::newRow("2") << qint64(2) << "2" << QStringList{"(2^1)"} << true;
    QTest::newRow("4") << qint64(4) << "4" << QStringList{"(2^2) "} << false;
    QTest::newRow("12") << qint64(12) << "12" << QStringList{"(2^2) ", "(3^1)"} << false;
    QTest::newRow("360") << qint64(360) << "360" << QStringList{"(2^3) ", "(3^2) ", "(5^1)"} << false;
    QTest::newRow("49") << qint64(49) << "49" << QStringList{"(7^2) "} << false;
    QTest::newRow("1024") << qint64(1024) << "1 024" << QStringList{"(2^10) "} << false;
    QTest::newRow("97") << qint64(97) << "97" << QStringList{"(97^1)"} << true;
    QTest::newRow("17 nines") << qint64(99999999999999999) << "99 999 999 999 999 999"
                              << QStringList{"(3^2) ", "(2071723^1) ", "(5363222357^1)"} << false;
    QTest::newRow("int64 max") << std::numeric_limits<qint64>::max() << "9 223 372 036 854 775 807"
                               << QStringList{"(7^2) ", "(73^1) ", "(127^1) ", "(337^1) ", "(92737^1) ", "(649657^1)"}
                               << false;
    QTest::newRow("2^62") << (qint64(1) << 62) << "4 611 686 018 427 387 904" << QStringList{"(2^62) "} << false;
}

void TestFactorisation::table()
{
    QFETCH(qint64, n);
    QFETCH(QString, number);
    QFETCH(QStringList, factors);
    QFETCH(bool, prime);
    FakeHost host;
    Decomposer(host, n);
    QCOMPARE(host.lines[2].text, number);
    QCOMPARE(FactorLines(host), factors);
    QCOMPARE(Verdict(host), prime ? QStringLiteral("Nombre premier : oui") : QStringLiteral("Nombre premier : non"));
}

void TestFactorisation::agreesWithNaiveFactorisation()
{
    QList<quint64> numbers;
    for (quint64 n = 0; n < 2000; ++n)
        numbers << n;
    QRandomGenerator random(1234);
    for (int i = 0; i < 200; ++i)
        numbers << random.bounded(quint64(1), quint64(1) << 40);
    for (quint64 n : numbers) {
        FakeHost host;
        Decomposer(host, qint64(n));
        const QStringList expected = NaiveFactorLines(n);
        QCOMPARE(FactorLines(host), expected);
        const bool prime = expected.size() == 1 && expected[0] == QStringLiteral("(%1^1)").arg(n) && n > 1;
        QCOMPARE(Verdict(host) == QStringLiteral("Nombre premier : oui"), prime);
    }
}

void TestFactorisation::headingAndVerdictFormat()
{
    FakeHost host;
    Decomposer(host, 12);
    QCOMPARE(host.Texts(), QStringList({"", "", "12", "", kEnTete, "", "(2^2) ", "(3^1)", "", "Nombre premier : non", ""}));
    for (int i = 0; i < host.lines.size(); ++i) {
        QCOMPARE(host.lines[i].alignment, ParagraphAlignment::Centre);
        const LineStyle style = i == 2 ? LineStyle::Bold : i == 9 ? LineStyle::Italic : LineStyle::Normal;
        QCOMPARE(host.lines[i].style, style);
    }
    const QStringList tail = host.log.mid(host.log.size() - 4);
    QVERIFY(tail[0].startsWith(QStringLiteral("panel1:Temps : ")));
    QCOMPARE(tail.mid(1), QStringList({"progress:100", "panel2:100 %", "panel3:Terminé..."}));
}

void TestFactorisation::largeSemiprime()
{
    // Both factors above 10^8: a hundred million divisors, ten counter laps.
    FakeHost host;
    host.logProgress = false;
    Decomposer(host, qint64(100000007) * 100000037);
    QCOMPARE(FactorLines(host), QStringList({"(100000007^1) ", "(100000037^1)"}));
    QCOMPARE(Verdict(host), QStringLiteral("Nombre premier : non"));
    // 100 000 006 divisors counted; the counter restarts after every
    // 10 000 001, and the time is shown then and at the end.
    const int timeTexts = int(host.log.filter(QStringLiteral("panel1:Temps")).size());
    QCOMPARE(timeTexts, 9 + 1);
    QVERIFY(!host.log.filter(QStringLiteral("panel2:")).contains(QStringLiteral("panel2:5 %")));
}

void TestFactorisation::progressFollowsTheCounter()
{
    // 999 999 999 989 is prime: divisors 2 to 999 999 all fail, so the
    // counter ends at 999 998 and the bar climbs 0, 1, ..., 10.
    FakeHost host;
    Decomposer(host, 999999999989);
    QStringList positions;
    for (const QString &entry : host.log.filter(QStringLiteral("progress:"))) {
        if (positions.isEmpty() || positions.last() != entry)
            positions << entry;
    }
    QStringList expected;
    for (int i = 0; i <= 10; ++i)
        expected << QStringLiteral("progress:%1").arg(i);
    expected << QStringLiteral("progress:100");
    QCOMPARE(positions, expected);
    QVERIFY(host.log.contains(QStringLiteral("panel2:")));
}

void TestFactorisation::sameOnEveryKernelPath_data()
{
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QStringList>("factors");
    QTest::newRow("12-digit prime") << qint64(999999999989) << QStringList{"(999999999989^1)"};
    QTest::newRow("primorial 41#") << qint64(304250263527210)
                                   << QStringList{"(2^1) ",  "(3^1) ",  "(5^1) ",  "(7^1) ",  "(11^1) ",
                                                  "(13^1) ", "(17^1) ", "(19^1) ", "(23^1) ", "(29^1) ",
                                                  "(31^1) ", "(37^1) ", "(41^1)"};
    QTest::newRow("3^39") << qint64(4052555153018976267) << QStringList{"(3^39) "};
    QTest::newRow("around 2^15") << qint64(7) * 32749 * 32771 << QStringList{"(7^1) ", "(32749^1) ", "(32771^1)"};
    QTest::newRow("square at a bar step") << qint64(200003) * 200003 << QStringList{"(200003^2) "};
    QTest::newRow("close primes, ten laps") << qint64(99999989) * 99999971
                                            << QStringList{"(99999971^1) ", "(99999989^1)"};
    QTest::newRow("largest prime below 2^63") << qint64(9223372036854775783) << QStringList{"(9223372036854775783^1)"};
}

void TestFactorisation::sameOnEveryKernelPath()
{
    // The report, the bar positions and the laps of the counter do not
    // depend on the instruction set the divisors are tested with.
    QFETCH(qint64, n);
    QFETCH(QStringList, factors);
    QStringList reference;
    for (const KernelPath path : AvailableKernelPaths()) {
        QVERIFY(UseKernelPath(path));
        FakeHost host;
        Decomposer(host, n);
        QCOMPARE(FactorLines(host), factors);
        // Pumps come with time and re-assert the bar; keep its moves only.
        QStringList trace;
        for (const QString &entry : host.log) {
            const QString kept = entry.startsWith(QStringLiteral("panel1:")) ? QStringLiteral("time") : entry;
            if (trace.isEmpty() || trace.last() != kept)
                trace << kept;
        }
        if (reference.isEmpty())
            reference = trace;
        QVERIFY2(trace == reference, KernelPathName(path));
    }
}

void TestFactorisation::stopBeforeTheLoop()
{
    FakeHost host;
    host.onPump = [](FakeHost &h) { h.stop = true; };
    Decomposer(host, 360);
    QCOMPARE(host.pumps, 1);
    QCOMPARE(host.Texts(), QStringList({"", "", "360", "", kEnTete, ""}));
    QCOMPARE(host.razFinCalls, 1);
    QVERIFY(!host.log.contains(QStringLiteral("panel3:Terminé...")));

    // A start right afterwards runs to its end.
    FakeHost again;
    Decomposer(again, 360);
    QCOMPARE(Verdict(again), QStringLiteral("Nombre premier : non"));
}

void TestFactorisation::stopAfterANonDivisor()
{
    // 2 divides once, then a long run of failing divisors until a pump of
    // the loop carries the stop.
    FakeHost host;
    host.onPump = [](FakeHost &h) {
        if (h.pumps == 3)
            h.stop = true;
    };
    Decomposer(host, qint64(2) * 100000007 * 100000037);
    QCOMPARE(host.pumps, 3);
    QCOMPARE(host.Texts().mid(6), QStringList({"(2^1) "}));
    QCOMPARE(host.razFinCalls, 1);
    QVERIFY(host.panels[3].isEmpty());
    QCOMPARE(host.position, 0);
}

void TestFactorisation::stopInsideAFactor()
{
    // Pumps: the one before the loop, then the one after (2^2) carries the
    // stop: (2^2) is written, 3 is not.
    FakeHost host;
    host.onPump = [](FakeHost &h) {
        if (h.pumps == 2)
            h.stop = true;
    };
    Decomposer(host, 4 * 9 * 97);
    QCOMPARE(host.pumps, 2);
    QCOMPARE(host.Texts().mid(6), QStringList({"(2^2) "}));
    QCOMPARE(host.razFinCalls, 1);
    QVERIFY(!host.log.contains(QStringLiteral("panel3:Terminé...")));
}

void TestFactorisation::negativeNumberFailsAfterHeading_data()
{
    QTest::addColumn<qint64>("n");
    QTest::newRow("-1") << qint64(-1);
    QTest::newRow("-5") << qint64(-5);
    QTest::newRow("int64 min") << std::numeric_limits<qint64>::min();
}

void TestFactorisation::negativeNumberFailsAfterHeading()
{
    QFETCH(qint64, n);
    FakeHost host;
    QVERIFY_THROWS_EXCEPTION(CommandError, Decomposer(host, n));
    QCOMPARE(host.lines.size(), 6);
    QCOMPARE(host.lines[2].text, GroupDigits(n, QStringLiteral(" ")));
    QCOMPARE(host.panels[3], QStringLiteral("Traitement en cours, patientez..."));
}

QTEST_GUILESS_MAIN(TestFactorisation)
#include "tst_factorisation.moc"
