// tavorine-cli as a script sees it: the reports on stdout and the exit
// statuses, bad numbers and bad options, and list files compared byte for
// byte with lists from an independent sieve.
#include "CliRun.h"

#include "presentation/RunReports.h"

#include <QTemporaryDir>
#include <QtTest>

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    void reports_data();
    void reports();
    void refusedInput_data();
    void refusedInput();
    void listsMatchTheSieve_data();
    void listsMatchTheSieve();
    void existingFirstFile_data();
    void existingFirstFile();
    void unwritableFolder();

private:
    QString path(const QString &name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestCli::reports_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");

    const QString yes = QStringLiteral("\n\nNombre premier : oui\n");
    const QString no = QStringLiteral("\n\nNombre premier : non\n");
    QTest::newRow("prime") << QStringList{"verifier", "1000003"} << 0 << "1 000 003" + yes;
    QTest::newRow("square of a prime") << QStringList{"verifier", "1018081"} << 1 << "1 018 081" + no;
    QTest::newRow("2^63-1") << QStringList{"verifier", "9223372036854775807"} << 1
                            << "9 223 372 036 854 775 807" + no;
    QTest::newRow("hex with spaces") << QStringList{"verifier", "  0x11"} << 0 << "17" + yes;
    // The window writes no report for -1 either.
    QTest::newRow("minus one") << QStringList{"verifier", "-1"} << 1 << "";
    QTest::newRow("zero") << QStringList{"verifier", "0"} << 1 << "0" + no + "\n" + ZeroExplanation() + "\n";
    QTest::newRow("two") << QStringList{"verifier", "2"} << 0 << "2" + yes + "\n" + TwoExplanation() + "\n";

    // Factor lines end with a space, except the cofactor left at the end.
    const QString heading = QStringLiteral("\n\nLa décomposition en facteurs premiers a donné : \n\n");
    QTest::newRow("360") << QStringList{"decomposer", "360"} << 0
                         << "360" + heading + "(2^3) \n(3^2) \n(5^1)" + no;
    QTest::newRow("large prime") << QStringList{"decomposer", "1000003"} << 0
                                 << "1 000 003" + heading + "(1000003^1)" + yes;
    QTest::newRow("2^63-1 factors") << QStringList{"decomposer", "$7FFFFFFFFFFFFFFF"} << 0
                                    << "9 223 372 036 854 775 807" + heading
                                           + "(7^2) \n(73^1) \n(127^1) \n(337^1) \n(92737^1) \n(649657^1)" + no;
    QTest::newRow("zero factorised") << QStringList{"decomposer", "0"} << 0 << "0" + heading + "0" + no;
    // Counts given by Debian's primesieve command line tool.
    QTest::newRow("count from below 2") << QStringList{"compter", "-5", "1000000"} << 0 << "78498\n";
    QTest::newRow("count high up") << QStringList{"compter", "1000000000000000000", "1000000000001000000"} << 0
                                   << "24280\n";
    QTest::newRow("count empty") << QStringList{"compter", "100", "1"} << 0 << "0\n";
}

void TestCli::reports()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    const CliResult result = RunCli(arguments);
    QCOMPARE(QString::fromUtf8(result.out), out);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.status, status);
}

void TestCli::refusedInput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QString>("out");

    const QString bad = QStringLiteral("'%1' n'est pas une valeur entière correcte.\n");
    QTest::newRow("letters") << QStringList{"verifier", "abc"} << bad.arg("abc") << "";
    QTest::newRow("bad start wins") << QStringList{"lister", "x", "y"} << bad.arg("x") << "";
    QTest::newRow("bad count end") << QStringList{"compter", "1", "1e13"} << bad.arg("1e13") << "";
    QTest::newRow("estimate of nine numbers") << QStringList{"lister", "1", "9", "--estimer"}
                                              << "Demandez au minimum 10 nombres premiers.\n" << "";
    QTest::newRow("below -1") << QStringList{"verifier", "-2"}
                              << "Opération en virgule flottante incorrecte.\n" << "";
    // The heading is written before the sign is looked at, as in the window.
    QTest::newRow("negative factorised")
        << QStringList{"decomposer", "-4"} << "Opération en virgule flottante incorrecte.\n"
        << "-4\n\nLa décomposition en facteurs premiers a donné : \n";
    QTest::newRow("nine numbers") << QStringList{"lister", "1", "9"}
                                  << "Demandez au minimum 10 nombres premiers.\n" << "";
    const QString tryHelp = QStringLiteral("\nEssayez « tavorine-cli --help ».\n");
    QTest::newRow("unknown command") << QStringList{"factoriser", "12"} << "Commande inconnue : factoriser" + tryHelp
                                     << "";
    QTest::newRow("list option elsewhere") << QStringList{"verifier", "7", "--remplacer"}
                                           << "Option inconnue : --remplacer" + tryHelp << "";
    QTest::newRow("digit separator") << QStringList{"lister", "1", "100", "--sep-milliers=5"}
                                     << "Le séparateur de milliers doit être un seul caractère, autre qu'un chiffre."
                                            + tryHelp
                                     << "";
}

void TestCli::refusedInput()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, err);
    QFETCH(QString, out);
    const CliResult result = RunCli(arguments, dir_->path());
    QCOMPARE(QString::fromUtf8(result.err), err);
    QCOMPARE(QString::fromUtf8(result.out), out);
    QCOMPARE(result.status, 2);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestCli::listsMatchTheSieve_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("last");
    QTest::addColumn<QByteArray>("separator");

    QTest::newRow("plain") << QStringList{"lister", "1", "10000"} << QStringList{"NP_1-10000_01.txt"} << 2ll
                           << 10000ll << QByteArray();
    QTest::newRow("texts as typed") << QStringList{"lister", "$FFF0", " +65600"} << QStringList{"NP_$FFF0- +65600_01.txt"}
                                    << 65520ll << 65600ll << QByteArray();
    QTest::newRow("chosen name and separator")
        << QStringList{"lister", "999000", "1001000", "--nom", "milieu", "--sep-milliers=."}
        << QStringList{"milieu.txt"} << 999000ll << 1001000ll << QByteArray(".");
    QTest::newRow("name with its extension") << QStringList{"lister", "1", "100", "--nom=liste.lst"}
                                             << QStringList{"liste.lst"} << 2ll << 100ll << QByteArray();
    // Slices of a million numbers from the first one, 2: files end at
    // 1 000 001 and 2 000 001.
    QTest::newRow("three files") << QStringList{"lister", "1", "2000010", "--sep-milliers=\u00A0"}
                                 << QStringList{"NP_1-2000010_01.txt", "NP_1-2000010_02.txt", "NP_1-2000010_03.txt"}
                                 << 2ll << 2000010ll << QByteArray("\xA0");
}

void TestCli::listsMatchTheSieve()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, names);
    QFETCH(qint64, first);
    QFETCH(qint64, last);
    QFETCH(QByteArray, separator);
    const CliResult result = RunCli(arguments << "--dossier" << dir_->path());
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(QString::fromUtf8(result.out),
             QStringLiteral("Votre liste de numéros est prête et a été enregistrée avec succès en %1 fichier(s).\n")
                 .arg(names.size()));
    QCOMPARE(result.status, 0);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), names);
    for (int k = 0; k < names.size(); ++k) {
        const qint64 from = first + k * 1'000'000;
        const QList<qint64> primes = SievePrimes(from, qMin(last, from + 999'999));
        QVERIFY(ReadFileBytes(path(names[k])) == ListFileBytes(names[k], primes, separator, k > 0));
    }
}

void TestCli::existingFirstFile_data()
{
    QTest::addColumn<bool>("replace");
    QTest::newRow("kept") << false;
    QTest::newRow("replaced") << true;
}

void TestCli::existingFirstFile()
{
    QFETCH(bool, replace);
    const QString name = QStringLiteral("NP_1-100_01.txt");
    QFile old(path(name));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("ancienne liste\r\n");
    old.close();

    QStringList arguments{"lister", "1", "100", "--dossier", dir_->path()};
    if (replace)
        arguments << "--remplacer";
    const CliResult result = RunCli(arguments);
    if (replace) {
        QCOMPARE(result.status, 0);
        QVERIFY(ReadFileBytes(path(name)) == ListFileBytes(name, SievePrimes(2, 100)));
    } else {
        QCOMPARE(result.status, 2);
        QCOMPARE(QString::fromUtf8(result.err),
                 QStringLiteral("%1 existe déjà. Ajoutez --remplacer pour le remplacer.\n").arg(path(name)));
        QCOMPARE(result.out, QByteArray());
        QCOMPARE(ReadFileBytes(path(name)), QByteArray("ancienne liste\r\n"));
    }
}

void TestCli::unwritableFolder()
{
    const QString folder = path(QStringLiteral("absent"));
    const CliResult result = RunCli({"lister", "1", "100", "--dossier", folder});
    QCOMPARE(result.status, 2);
    QCOMPARE(result.out, QByteArray());
    // The list file library's message names the file.
    QVERIFY2(result.err.contains("NP_1-100_01.txt"), result.err.constData());
    QVERIFY(!QFileInfo::exists(folder));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
