// tavorine-cli beyond the window's range, against independent tools: GNU
// factor below 2^128 and PARI/GP above for factorisations and verdicts,
// gp for next and previous primes, primecount for the n-th prime, the
// primesieve tool (and the tests' own sieve) for tuplets and the pipe.
#include "CliRun.h"

#include <QtTest>

#include <csignal>

class TestCliBig : public QObject
{
    Q_OBJECT

private slots:
    void factorisations_data();
    void factorisations();
    void neighbours_data();
    void neighbours();
    void counts_data();
    void counts();
    void pipe();
    void stopInsideFlint_data();
    void stopInsideFlint();
    void refused_data();
    void refused();
};

namespace {

QByteArray Tool(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60'000);
    return process.readAllStandardOutput().trimmed();
}

QByteArray Gp(const QByteArray &expression)
{
    return Tool(QStringLiteral("gp"), {"-q", "-f"}, expression + "\n");
}

// The (p^k) lines an oracle's factors give: GNU factor lists each prime as
// often as it divides, gp prints "p k" lines.
QStringList OracleFactors(const QString &n, bool belowTwo128)
{
    QList<std::pair<QString, int>> powers;
    if (belowTwo128) {
        for (const QByteArray &p : Tool(QStringLiteral("factor"), {n}).split(' ').mid(1)) {
            if (!powers.isEmpty() && powers.last().first == QLatin1String(p))
                ++powers.last().second;
            else
                powers.append({QString::fromLatin1(p), 1});
        }
    } else {
        for (const QByteArray &line : Gp("f=factor(" + n.toLatin1() + ");for(i=1,#f~,print(f[i,1],\" \",f[i,2]))")
                                          .split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            powers.append({QString::fromLatin1(parts[0]), parts[1].toInt()});
        }
    }
    QStringList lines;
    for (const auto &[p, k] : powers)
        lines << QStringLiteral("(%1^%2) ").arg(p).arg(k);
    // The prime left after the last division has no space after it.
    if (powers.last().second == 1)
        lines.last().chop(1);
    return lines;
}

QString Grouped(QString digits)
{
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(' '));
    return digits;
}

} // namespace

void TestCliBig::factorisations_data()
{
    QTest::addColumn<QString>("n");
    QTest::addColumn<bool>("belowTwo128");
    QTest::newRow("2^63-1, trial division") << "9223372036854775807" << true;
    QTest::newRow("2^63") << "9223372036854775808" << true;
    QTest::newRow("2^63+1") << "9223372036854775809" << true;
    QTest::newRow("2^64-1") << "18446744073709551615" << true;
    QTest::newRow("2^64 in hex") << "$10000000000000000" << true;
    QTest::newRow("first prime above 2^64") << "18446744073709551629" << true;
    // GNU factor takes minutes for two factors near 2^64: gp answers these.
    QTest::newRow("128-bit semiprime") << "246893937484756661054475369053028040351" << false;
    QTest::newRow("Chernick Carmichael number") << "1296056805229926801774649" << true;
    QTest::newRow("strong pseudoprime to bases 2..37") << "318665857834031151167461" << true;
    QTest::newRow("square of 2^61-1") << "5316911983139663487003542222693990401" << false;
    QTest::newRow("2^127-1") << "170141183460469231731687303715884105727" << false;
    QTest::newRow("cube of a prime above 2^80") << "1766847064778384329583354499306774421041293841197020283703989774237829269"
                                                << false;
    QTest::newRow("three primes of 16 to 18 digits") << "1000000000000043130000000000226993000000000006771" << false;
}

void TestCliBig::factorisations()
{
    QFETCH(QString, n);
    QFETCH(bool, belowTwo128);
    const QString decimal = QString::fromLatin1(Gp(n.replace(QLatin1Char('$'), QStringLiteral("0x")).toLatin1()));
    const QStringList lines = OracleFactors(decimal, belowTwo128);
    const bool prime = lines.size() == 1 && lines[0].endsWith(QLatin1String("^1)"));
    const QString verdict = prime ? QStringLiteral("oui") : QStringLiteral("non");

    const CliResult factors = RunCli({"decomposer", n});
    QCOMPARE(QString::fromUtf8(factors.out),
             Grouped(decimal) + "\n\nLa décomposition en facteurs premiers a donné : \n\n" + lines.join('\n')
                 + "\n\nNombre premier : " + verdict + "\n");
    QCOMPARE(factors.status, 0);
    const CliResult verification = RunCli({"verifier", n});
    QCOMPARE(QString::fromUtf8(verification.out), Grouped(decimal) + "\n\nNombre premier : " + verdict + "\n");
    QCOMPARE(verification.status, prime ? 0 : 1);
}

void TestCliBig::neighbours_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("expected");
    for (const char *n : {"3", "9223372036854775783", "9223372036854775807", "18446744073709551615",
                          "18446744073709551629", "1000000000000000000000000000000",
                          "170141183460469231731687303715884105727"}) {
        QTest::addRow("suivant %s", n) << QStringList{"suivant", n} << Gp(QByteArray("nextprime(") + n + "+1)");
        QTest::addRow("precedent %s", n) << QStringList{"precedent", n} << Gp(QByteArray("precprime(") + n + "-1)");
    }
    for (const char *n : {"1", "2", "1000000", "203280221", "1000000000000"})
        QTest::addRow("nieme %s", n) << QStringList{"nieme", n} << Tool("primecount", {"-n", n});
}

void TestCliBig::neighbours()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, expected);
    const CliResult result = RunCli(arguments);
    QCOMPARE(result.out, expected + "\n");
    QCOMPARE(result.status, 0);
}

void TestCliBig::counts_data()
{
    QTest::addColumn<QStringList>("range");
    for (const QStringList &range : {QStringList{"0", "1000000"}, QStringList{"5", "7"}, QStringList{"97", "100000"},
                                     QStringList{"1000000000000", "1000010000000"}})
        QTest::addRow("%s..%s", qPrintable(range[0]), qPrintable(range[1])) << range;
}

void TestCliBig::counts()
{
    QFETCH(QStringList, range);
    QByteArray expected;
    for (const char *k : {"-c2", "-c3", "-c4", "-c5", "-c6"})
        expected += Tool("primesieve", {range[0], range[1], k, "-q"}) + "\n";
    // Cousins and sexy pairs, which the primesieve tool does not count,
    // from the tests' own sieve.
    const qint64 first = range[0].toLongLong(), last = range[1].toLongLong();
    if (last - first <= 10'000'000) {
        const QList<qint64> primes = SievePrimes(first, last);
        for (const int gap : {4, 6}) {
            const QSet<qint64> set(primes.begin(), primes.end());
            expected += QByteArray::number(std::count_if(primes.begin(), primes.end(),
                                                         [&](qint64 p) { return set.contains(p + gap); }))
                        + "\n";
        }
    }
    QStringList arguments{"compter", range[0], range[1], "--jumeaux", "--triplets", "--quadruplets",
                          "--quintuplets", "--sextuplets"};
    if (last - first <= 10'000'000)
        arguments << "--cousins" << "--sexy";
    const CliResult result = RunCli(arguments);
    QCOMPARE(result.out, expected);
    QCOMPARE(result.status, 0);
}

void TestCliBig::pipe()
{
    QCOMPARE(RunCli({"lister", "999000", "2000000", "--sortie", "-"}).out,
             Tool("primesieve", {"999000", "2000000", "-p"}) + "\n");
    QByteArray grouped;
    for (const QByteArray &p : Tool("primesieve", {"999000", "1001000", "-p"}).split('\n'))
        grouped += GroupedBytes(p.toLongLong(), ".") + "\n";
    QCOMPARE(RunCli({"lister", "999000", "1001000", "--sortie=-", "--sep-milliers=."}).out, grouped);
    // A reader that leaves after three lines ends a list of 10^12 quietly.
    QProcess shell;
    shell.start("bash", {"-c", QStringLiteral("'%1' lister 1 1000000000000 --sortie - | head -3; "
                                              "echo ${PIPESTATUS[0]}").arg(TAVORINE_CLI)});
    QVERIFY(shell.waitForFinished(60'000));
    QCOMPARE(shell.readAllStandardOutput(), QByteArray("2\n3\n5\n0\n"));
    QCOMPARE(shell.readAllStandardError(), QByteArray());
}

void TestCliBig::stopInsideFlint_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
}

void TestCliBig::stopInsideFlint()
{
    QFETCH(int, signal);
    // A 90-digit product of two primes keeps FLINT's quadratic sieve busy for
    // minutes; the heading on stdout says the run has started.
    QProcess process;
    process.start(QStringLiteral(TAVORINE_CLI),
                  {"decomposer", "100000000000000000000000000000000000000000031900000000000000000000000000000000000000"
                                 "000279"});
    QVERIFY(process.waitForStarted());
    while (!process.readAllStandardOutput().contains("donné") && process.state() == QProcess::Running)
        process.waitForReadyRead(1000);
    // Held inside FLINT: the computation's thread (tvr-run) is running, and
    // a run that had ended would leave the process gone or exiting with 0.
    const QString tasks = QStringLiteral("/proc/%1/task").arg(process.processId());
    const auto computing = [&tasks] {
        for (const QString &task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile comm(tasks + QLatin1Char('/') + task + QStringLiteral("/comm"));
            if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "tvr-run")
                return true;
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(computing(), 60000);
    QVERIFY(process.state() == QProcess::Running);
    ::kill(pid_t(process.processId()), signal);
    QVERIFY(process.waitForFinished(10'000));
    QCOMPARE(process.exitCode(), 128 + signal);
}

void TestCliBig::refused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("err");
    const QString tryHelp = QStringLiteral("\nEssayez « tavorine-cli --help ».\n");
    QTest::newRow("letters in a big number") << QStringList{"verifier", "123456789012345678901x"}
                                             << "'123456789012345678901x' n'est pas une valeur entière correcte.\n";
    QTest::newRow("empty number") << QStringList{"decomposer", " "}
                                  << "Un nombre est vide : indiquez un nombre entier.\n";
    QTest::newRow("A > B") << QStringList{"compter", "10", "9", "--jumeaux"}
                           << "Le début de la plage (10) dépasse sa fin (9).\n";
    QTest::newRow("negative bound") << QStringList{"lister", "-1", "9", "--sortie", "-"}
                                    << "'-1' est négatif : cette commande n'accepte que des nombres positifs ou nuls.\n";
    QTest::newRow("nieme 0") << QStringList{"nieme", "0"} << "Le rang commence à 1 : le premier nombre premier est 2.\n";
    QTest::newRow("nieme past 2^63") << QStringList{"nieme", "216289611853439385"}
                                     << "Ce nombre premier dépasserait 9 223 372 036 854 775 807 (2^63 − 1) : le rang "
                                        "va au plus jusqu'à 216 289 611 853 439 384.\n";
    QTest::newRow("precedent 2") << QStringList{"precedent", "2"} << "Il n'y a pas de nombre premier inférieur à 2.\n";
    QTest::newRow("unknown option") << QStringList{"nieme", "5", "--jumeaux"} << "Option inconnue : --jumeaux" + tryHelp;
    QTest::newRow("101 digits") << QStringList{"decomposer", "1" + QString(100, '0')}
                                << "Le nombre a 101 chiffres ; la commande decomposer en accepte au plus 100.\n";
    QTest::newRow("1001 digits") << QStringList{"verifier", "1" + QString(1000, '0')}
                                 << "Le nombre a 1001 chiffres ; la commande verifier en accepte au plus 1000.\n";
}

void TestCliBig::refused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, err);
    const CliResult result = RunCli(arguments);
    QCOMPARE(QString::fromUtf8(result.err), err);
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(result.status, 2);
}

QTEST_GUILESS_MAIN(TestCliBig)
#include "tst_clibig.moc"
