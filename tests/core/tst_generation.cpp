// The list generation against a fake window with files in memory: slices,
// progress and status, the stop, cancelling, file errors, and ranges at
// the ends of the 64-bit range.
#include "FakeHost.h"

#include "core/Generation.h"
#include "core/NumberText.h"

#include <QtTest>
#include <limits>

namespace {

QStringList Positions(const FakeHost &host)
{
    QStringList positions;
    for (const QString &entry : host.log.filter(QStringLiteral("panel2:")))
        if (positions.isEmpty() || positions.last() != entry)
            positions << entry.mid(7);
    return positions;
}

} // namespace

class TestGeneration : public QObject
{
    Q_OBJECT

private slots:
    void init() { ResetThousandsSeparator(); }

    void smallestRangeMovesOnePerNumber();
    void progressLagsThenEndsAtHundred();
    void slicesCountFromTheAdjustedStart();
    void cancelledOrRefusedWritesNothing_data();
    void cancelledOrRefusedWritesNothing();
    void stopWritesTheHeaderOfWhatIsOnDisk();
    void panelsWrittenAgainAfterAPump();
    void fileErrorIsReported();
    void topOfTheRangeEnds();
};

void TestGeneration::smallestRangeMovesOnePerNumber()
{
    FakeHost host;
    Generer(host, 14, 23, QStringLiteral("14"), QStringLiteral("23"));
    QCOMPARE(host.proposed, QStringLiteral("NP_14-23_01"));
    QCOMPARE(host.files[QStringLiteral("first")],
             QStringList({"first", "Nombres premiers de cette liste : 3", " ", "17", "19", "23"}));
    QStringList expected;
    for (int i = 1; i <= 10; ++i)
        expected << QStringLiteral("%1 %").arg(i);
    expected << QStringLiteral("100 %");
    QCOMPARE(Positions(host), expected);
    QCOMPARE(host.panels[3], QStringLiteral("Terminé..."));
    QCOMPARE(host.messages,
             QStringList{"Votre liste de numéros est prête et a été enregistrée avec succès en 1 fichier(s)."});
    QCOMPARE(host.razFinCalls, 0);
}

void TestGeneration::progressLagsThenEndsAtHundred()
{
    // From 2 to 10 000 the step is round(9998 / 100) + 1 = 101, so the last
    // number leaves the bar at round(9999 / 101) = 99 before the end sets 100.
    FakeHost host;
    Generer(host, 1, 10000, QStringLiteral("1"), QStringLiteral("10000"));
    const QStringList positions = Positions(host);
    QCOMPARE(positions.mid(positions.size() - 2), QStringList({"99 %", "100 %"}));
    QCOMPARE(host.files[QStringLiteral("first")].size(), 3 + 1229);
}

void TestGeneration::slicesCountFromTheAdjustedStart()
{
    FakeHost host;
    host.separators = true;
    SetThousandsSeparator(QStringLiteral(" "));
    Generer(host, 0, 2000000, QStringLiteral("0"), QStringLiteral("2000000"));
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
    Generer(host, 1, 100, QStringLiteral("1"), QStringLiteral("100"));
    QVERIFY(host.files.isEmpty());
    QVERIFY(host.messages.isEmpty());
    QCOMPARE(host.razFinCalls, 1);
}

void TestGeneration::stopWritesTheHeaderOfWhatIsOnDisk()
{
    FakeHost host;
    host.onPump = [](FakeHost &h) {
        // Stop once the second file exists.
        if (h.files.contains(QStringLiteral("NP_1-3000000_02")))
            h.stop = true;
    };
    Generer(host, 1, 3000000, QStringLiteral("1"), QStringLiteral("3000000"));
    QCOMPARE(host.razFinCalls, 1);
    QVERIFY(host.messages.isEmpty());
    QCOMPARE(host.files[QStringLiteral("first")].size(), 3 + 78498);
    const QStringList second = host.files[QStringLiteral("NP_1-3000000_02")];
    QCOMPARE(second, QStringList({"NP_1-3000000_02", "Nombres premiers de cette liste : 1", " ", "1000003"}));
    QVERIFY(!host.files.contains(QStringLiteral("NP_1-3000000_03")));
}

void TestGeneration::panelsWrittenAgainAfterAPump()
{
    // A page change during a pump empties the panels; the next number
    // writes the time and the percentage again.
    FakeHost host;
    bool cleared = false;
    host.onPump = [&](FakeHost &h) {
        if (!cleared) {
            cleared = true;
            h.panels[1].clear();
            h.panels[2].clear();
            h.log << QStringLiteral("cleared");
        }
    };
    Generer(host, 1, 300000, QStringLiteral("1"), QStringLiteral("300000"));
    QVERIFY(cleared);
    const qsizetype at = host.log.indexOf(QStringLiteral("cleared"));
    const QStringList after = host.log.mid(at, 20);
    QVERIFY(!after.filter(QStringLiteral("panel1:Temps : ")).isEmpty());
    QVERIFY(!after.filter(QStringLiteral("panel2:")).isEmpty());
}

void TestGeneration::fileErrorIsReported()
{
    FakeHost host;
    host.failingFile = QStringLiteral("NP_1-2000000_02");
    Generer(host, 1, 2000000, QStringLiteral("1"), QStringLiteral("2000000"));
    QCOMPARE(host.messages, QStringList{QStringLiteral("échec NP_1-2000000_02")});
    QCOMPARE(host.razFinCalls, 1);
    QCOMPARE(host.files[QStringLiteral("first")].value(1), QStringLiteral("Nombres premiers de cette liste : 78498"));
}

void TestGeneration::topOfTheRangeEnds()
{
    const qint64 max = std::numeric_limits<qint64>::max();
    FakeHost host;
    Generer(host, max - 23, max, QString::number(max - 23), QString::number(max));
    QCOMPARE(host.files[QStringLiteral("first")].value(1), QStringLiteral("Nombres premiers de cette liste : 0"));
    QCOMPARE(host.panels[2], QStringLiteral("100 %"));
}

QTEST_GUILESS_MAIN(TestGeneration)
#include "tst_generation.moc"
