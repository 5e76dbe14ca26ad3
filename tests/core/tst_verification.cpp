// The primality verification against a fake window: verdicts, the exact
// report, the checkpoint cadence, stopping, and negative numbers.
#include "FakeHost.h"

#include "core/CommandError.h"
#include "presentation/Messages.h"
#include "presentation/RunReports.h"
#include "presentation/NumberText.h"
#include "core/TrialKernel.h"
#include "core/Verification.h"

#include <QLocale>
#include <QtTest>
#include <cmath>
#include <limits>

namespace {

// Trial division written independently of the code under test.
bool IsPrimeNaive(qint64 n)
{
    if (n < 2)
        return false;
    for (qint64 d = 2; d <= n / d; ++d)
        if (n % d == 0)
            return false;
    return true;
}

const QString kEnCours = QStringLiteral("Traitement en cours, patientez...");

} // namespace

class TestVerification : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }
    void cleanup() { UseKernelPath(AvailableKernelPaths().last()); }

    void verdicts_data();
    void verdicts();
    void verdictsAgreeWithNaiveDivision();
    void reportOf97();
    void explanations_data();
    void explanations();
    void closingStatusOrder();
    void checkpointCadence();
    void sameOnEveryKernelPath_data();
    void sameOnEveryKernelPath();
    void stopAtCheckpoint();
    void minusOneGivesOnlyClosingStatus();
    void belowMinusOneFails_data();
    void belowMinusOneFails();
    void reportSetsPlainSpaceSeparator();
};

void TestVerification::verdicts_data()
{
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("prime");
    QTest::newRow("0") << qint64(0) << "0" << false;
    QTest::newRow("1") << qint64(1) << "1" << false;
    QTest::newRow("2") << qint64(2) << "2" << true;
    QTest::newRow("3") << qint64(3) << "3" << true;
    QTest::newRow("4") << qint64(4) << "4" << false;
    QTest::newRow("9") << qint64(9) << "9" << false;
    QTest::newRow("25") << qint64(25) << "25" << false;
    QTest::newRow("49") << qint64(49) << "49" << false;
    QTest::newRow("97") << qint64(97) << "97" << true;
    QTest::newRow("prime squared 1009^2") << qint64(1018081) << "1 018 081" << false;
    QTest::newRow("12-digit prime") << qint64(999999999989) << "999 999 999 989" << true;
    QTest::newRow("two 7-digit factors") << qint64(1000003) * 1000033 << "1 000 036 000 099" << false;
    QTest::newRow("17 nines") << qint64(99999999999999999) << "99 999 999 999 999 999" << false;
    QTest::newRow("int64 max") << std::numeric_limits<qint64>::max() << "9 223 372 036 854 775 807" << false;
}

void TestVerification::verdicts()
{
    QFETCH(qint64, n);
    QFETCH(QString, number);
    QFETCH(bool, prime);
    FakeHost host;
    Verifier(host, n);
    QCOMPARE(host.lines.size(), 9);
    QCOMPARE(host.lines[3].text, number);
    QCOMPARE(host.lines[5].text, prime ? QStringLiteral("Nombre premier : oui") : QStringLiteral("Nombre premier : non"));
    QCOMPARE(host.panels[3], QStringLiteral("Terminé..."));
}

void TestVerification::verdictsAgreeWithNaiveDivision()
{
    for (qint64 n = 0; n < 3000; ++n) {
        FakeHost host;
        Verifier(host, n);
        QCOMPARE(host.lines[5].text == QStringLiteral("Nombre premier : oui"), IsPrimeNaive(n));
    }
}

void TestVerification::reportOf97()
{
    FakeHost host;
    Verifier(host, 97);
    const QStringList expected = {"", "", "", "97", "", "Nombre premier : oui", "", "", ""};
    QCOMPARE(host.Texts(), expected);
    for (int i = 0; i < host.lines.size(); ++i) {
        QCOMPARE(host.lines[i].alignment, ParagraphAlignment::Centre);
        const LineStyle style = i == 3 ? LineStyle::Bold : i == 7 ? LineStyle::Italic : LineStyle::Normal;
        QCOMPARE(host.lines[i].style, style);
    }
    QCOMPARE(host.pumps, 0);
}

void TestVerification::explanations_data()
{
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QString>("explanation");
    QTest::newRow("0") << qint64(0)
                       << QString::fromUtf8("La définition d’un nombre premier est d’être divisible par deux entiers "
                                            "distincts, 1 et lui-même. Dans le cas de 0, celui-ci est divisible par tous "
                                            "les entiers positifs. Il ne répond donc pas à la définition d'un nombre premier.");
    QTest::newRow("1") << qint64(1)
                       << QString::fromUtf8("La définition d’un nombre premier est d’être divisible par deux entiers "
                                            "distincts, 1 et lui-même. Dans le cas du nombre 1, les diviseurs 1 et lui-même "
                                            "ne sont pas distincts. 1 ne répond donc pas à la définition d’un nombre premier.");
    QTest::newRow("2") << qint64(2) << "2 est le seul et unique nombre premier pair.";
}

void TestVerification::explanations()
{
    QFETCH(qint64, n);
    QFETCH(QString, explanation);
    FakeHost host;
    Verifier(host, n);
    QCOMPARE(host.lines[7].text, explanation);
    QCOMPARE(host.lines[7].style, LineStyle::Italic);
}

void TestVerification::closingStatusOrder()
{
    FakeHost host;
    Verifier(host, 97);
    const QStringList tail = host.log.mid(host.log.size() - 4);
    QVERIFY(tail[0].startsWith(QStringLiteral("panel1:Temps : ")));
    QVERIFY(tail[0].endsWith(QStringLiteral(" sec.")));
    QCOMPARE(tail.mid(1), QStringList({"progress:100", "panel2:100 %", "panel3:Terminé..."}));
    QCOMPARE(host.log.first(), QStringLiteral("panel3:") + kEnCours);
}

void TestVerification::checkpointCadence()
{
    // 999 999 999 989 is prime and its bound is 999 999: one division by 2
    // and 499 999 by the odd numbers 3 to 999 999, so five checkpoints.
    FakeHost host;
    host.logProgress = false;
    Verifier(host, 999999999989);
    QCOMPARE(host.pumps, 5);
    QCOMPARE(host.pumpLog.size(), 5);
    // After k divisions the next divisor is 2k + 1; the step is
    // round(sqrt(999999999990) / 100) + 1 = 10001.
    int previous = -1;
    for (int k = 1; k <= 5; ++k) {
        FakeHost probe;
        int seen = 0;
        probe.onPump = [&](FakeHost &h) {
            if (++seen == k)
                h.stop = true;
        };
        Verifier(probe, 999999999989);
        const int expected = int(std::lround((2.0 * 100000 * k + 1) / 10001.0));
        QCOMPARE(probe.position, 0); // the stop resets the bar
        QCOMPARE(probe.panels[2], QStringLiteral("%1 %").arg(expected));
        QVERIFY(probe.panels[1].startsWith(QStringLiteral("Temps : ")));
        QVERIFY(expected > previous);
        previous = expected;
    }
}

void TestVerification::sameOnEveryKernelPath_data()
{
    QTest::addColumn<qint64>("n");
    QTest::addColumn<bool>("prime");
    QTest::addColumn<int>("checkpoints");
    // 99 999 999 999 999 997: 158 113 883 divisions in all.
    QTest::newRow("17-digit prime") << qint64(99999999999999997) << true << 1581;
    // The 100 000th division is by 199 999: found at the first checkpoint.
    QTest::newRow("found at a checkpoint") << qint64(199999) * 200003 << false << 1;
    QTest::newRow("found after one") << qint64(200003) * 200003 << false << 1;
    QTest::newRow("close primes") << qint64(99999989) * 99999971 << false << 499;
}

void TestVerification::sameOnEveryKernelPath()
{
    // The verdict and what every checkpoint shows (the percentage and the
    // bar) do not depend on the instruction set the divisors are tested with.
    QFETCH(qint64, n);
    QFETCH(bool, prime);
    QFETCH(int, checkpoints);
    QStringList reference;
    for (const KernelPath path : AvailableKernelPaths()) {
        QVERIFY(UseKernelPath(path));
        FakeHost host;
        Verifier(host, n);
        QCOMPARE(host.lines[5].text, prime ? QStringLiteral("Nombre premier : oui") : QStringLiteral("Nombre premier : non"));
        QCOMPARE(host.pumps, checkpoints);
        QStringList shown;
        for (const QString &entry : host.pumpLog)
            shown << entry.section(QLatin1Char('|'), 1); // without the time
        shown << host.log.filter(QStringLiteral("progress:"));
        if (reference.isEmpty())
            reference = shown;
        QVERIFY2(shown == reference, KernelPathName(path));
    }
}

void TestVerification::stopAtCheckpoint()
{
    FakeHost host;
    host.onPump = [](FakeHost &h) {
        if (h.pumps == 2)
            h.stop = true;
    };
    Verifier(host, 999999999989);
    QCOMPARE(host.pumps, 2);
    QCOMPARE(host.razFinCalls, 1);
    QVERIFY(host.lines.isEmpty());
    QVERIFY(host.panels[3].isEmpty());
    QVERIFY(!host.log.contains(QStringLiteral("panel3:Terminé...")));
}

void TestVerification::minusOneGivesOnlyClosingStatus()
{
    FakeHost host;
    Verifier(host, -1);
    QVERIFY(host.lines.isEmpty());
    QCOMPARE(host.panels[2], QStringLiteral("100 %"));
    QCOMPARE(host.panels[3], QStringLiteral("Terminé..."));
    QCOMPARE(host.position, 100);
}

void TestVerification::belowMinusOneFails_data()
{
    QTest::addColumn<qint64>("n");
    QTest::newRow("-2") << qint64(-2);
    QTest::newRow("-97") << qint64(-97);
    QTest::newRow("int64 min") << std::numeric_limits<qint64>::min();
}

void TestVerification::belowMinusOneFails()
{
    QFETCH(qint64, n);
    FakeHost host;
    try {
        Verifier(host, n);
        QFAIL("no error");
    } catch (const CommandError &error) {
        QVERIFY(error.kind() == CommandError::Kind::InvalidFloatOperation);
        QCOMPARE(ErrorText(error), QStringLiteral("Opération en virgule flottante incorrecte"));
    }
    QVERIFY(host.lines.isEmpty());
    QCOMPARE(host.panels[3], kEnCours);
}

void TestVerification::reportSetsPlainSpaceSeparator()
{
    // The report groups with a plain space whatever the locale, and says a
    // number was reported, which fixes a session's separator to it.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(LocaleSeparator(), QStringLiteral("."));
    FakeHost host;
    VerificationResult result;
    result.n = 1009;
    result.prime = true;
    QVERIFY(ShowVerificationResult(host, result));
    QCOMPARE(host.lines[3].text, QStringLiteral("1 009"));
    result.n = -1;
    QVERIFY(!ShowVerificationResult(host, result));
}

QTEST_GUILESS_MAIN(TestVerification)
#include "tst_verification.moc"
