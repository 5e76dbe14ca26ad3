// List files on disk, compared byte for byte with files worked out by hand
// or from a naive sieve, and the French messages of failed file operations.
#include "listfiles/ListFile.h"
#include "listfiles/ListFileNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ListFiles;
using namespace Qt::StringLiterals;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QList<int> naivePrimes(int last)
{
    QList<bool> composite(last + 1, false);
    QList<int> primes;
    for (int n = 2; n <= last; ++n) {
        if (composite[n])
            continue;
        primes.append(n);
        for (int m = 2 * n; m <= last; m += n)
            composite[m] = true;
    }
    return primes;
}

// Sentence of a failed operation, typed out independently of the library.
QString failure(const QString &start, const QString &path, const QString &reason)
{
    return start + u" «\u00A0"_s + path + u"\u00A0»\u00A0: "_s + reason + u'.';
}

} // namespace

class TestListFileIo : public QObject
{
    Q_OBJECT

private slots:
    void listOfTenThousand_data();
    void listOfTenThousand();
    void headerCountsWhatIsOnDisk_data();
    void headerCountsWhatIsOnDisk();
    void continuationBesideRenamedFirstFile();
    void readLines_data();
    void readLines();
    void appendNeverCreates();
    void writeFailureNamesTheFile_data();
    void writeFailureNamesTheFile();
    void readOnlyFolderRefusesWrite();
    void failedRewriteKeepsTheOldContent();
    void loadRefusesWhatIsNotAFile_data();
    void loadRefusesWhatIsNotAFile();
    void loadGivesTheTextWithPlainLineEnds();
    void pathLongerThanTheOldLimits();
    void loadStopsAtTheSizeLimit();

private:
    QTemporaryDir m_dir;
};

void TestListFileIo::listOfTenThousand_data()
{
    QTest::addColumn<bool>("withSeparators");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QByteArray>("separatorByte");
    QTest::newRow("space") << true << u" "_s << QByteArray(" ");
    QTest::newRow("narrow no-break space") << true << u"\u202F"_s << QByteArray("\xA0");
    QTest::newRow("no-break space") << true << u"\u00A0"_s << QByteArray("\xA0");
    QTest::newRow("right quote") << true << u"\u2019"_s << QByteArray("\x92");
    QTest::newRow("without separators") << false << u" "_s << QByteArray();
}

// What the generation does for start 1, end 10000: the first file created
// empty, its 1229 primes written whole, then the header.
void TestListFileIo::listOfTenThousand()
{
    QFETCH(bool, withSeparators);
    QFETCH(QString, separator);
    QFETCH(QByteArray, separatorByte);
    const QString path = m_dir.filePath(u"NP_1-10000_01.txt"_s);

    QStringList lines;
    QByteArray body;
    for (const int p : naivePrimes(10000)) {
        const QString digits = QString::number(p);
        const bool grouped = withSeparators && p >= 1000;
        lines.append(grouped ? digits.left(1) + separator + digits.mid(1) : digits);
        body += grouped ? digits.left(1).toLatin1() + separatorByte + digits.mid(1).toLatin1()
                        : digits.toLatin1();
        body += "\r\n";
    }
    QCOMPARE(lines.size(), 1229);

    WriteWholeFile(path, {});
    QCOMPARE(bytesOf(path), QByteArray());
    WriteWholeFile(path, lines);
    QCOMPARE(bytesOf(path), body);
    IndiquerNombresContenus(path, withSeparators, separator);
    QCOMPARE(bytesOf(path), "NP_1-10000_01.txt\r\nNombres premiers de cette liste : 1" + separatorByte
                                + "229\r\n \r\n" + body);
    QVERIFY(bytesOf(path).endsWith("9" + separatorByte + "973\r\n"));
}

void TestListFileIo::headerCountsWhatIsOnDisk_data()
{
    QTest::addColumn<QByteArray>("onDisk");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("first file stopped or no prime") << QByteArray() << QByteArray("0") << QByteArray();
    QTest::newRow("continuation stopped") << QByteArray("1000003\r\n") << QByteArray("1")
                                          << QByteArray("1000003\r\n");
    QTest::newRow("mixed line ends") << QByteArray("2\r3\n5\r\n7") << QByteArray("4")
                                     << QByteArray("2\r\n3\r\n5\r\n7\r\n");
    QTest::newRow("bytes of the numbers kept") << QByteArray("1\xA0" "009\r\n1\xE2\x80\xAF" "013\r\n")
                                               << QByteArray("2")
                                               << QByteArray("1\xA0" "009\r\n1\xE2\x80\xAF" "013\r\n");
    QTest::newRow("count grouped") << QByteArray("7\r\n").repeated(1000) << QByteArray("1\xA0" "000")
                                   << QByteArray("7\r\n").repeated(1000);
}

void TestListFileIo::headerCountsWhatIsOnDisk()
{
    QFETCH(QByteArray, onDisk);
    QFETCH(QByteArray, header);
    QFETCH(QByteArray, body);
    const QString path = m_dir.filePath(u"NP_114-126_01.txt"_s);
    put(path, onDisk);
    IndiquerNombresContenus(path, true, u"\u202F"_s);
    QCOMPARE(bytesOf(path), "NP_114-126_01.txt\r\nNombres premiers de cette liste : " + header
                                + "\r\n \r\n" + body);
}

void TestListFileIo::continuationBesideRenamedFirstFile()
{
    QVERIFY(QDir(m_dir.path()).mkpath(u"renamed"_s));
    const QString first = m_dir.filePath(u"renamed/liste.txt"_s);
    WriteWholeFile(first, {u"2"_s, u"3"_s});
    IndiquerNombresContenus(first, false, u" "_s);
    QCOMPARE(bytesOf(first), "liste.txt\r\nNombres premiers de cette liste : 2\r\n \r\n2\r\n3\r\n");

    // A file left by an earlier run is replaced without a trace.
    const QString second = m_dir.filePath(u"renamed/NP_1-2500000_02.txt"_s);
    put(second, QByteArray("old content, longer than the new one\r\n"));
    QCOMPARE(CreationAutomatiqueFichierSuivant(first, BaseName(u"1"_s, u"2500000"_s), 2, 1000003), second);
    QCOMPARE(bytesOf(second), QByteArray("1000003\r\n"));
    EnregistrerLigneDansFichier(second, u"1\u202F000\u202F033"_s);
    QCOMPARE(bytesOf(second), QByteArray("1000003\r\n1\xA0" "000\xA0" "033\r\n"));
}

void TestListFileIo::readLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("CR LF") << QByteArray("2\r\n3\r\n") << QStringList{u"2"_s, u"3"_s};
    QTest::newRow("LF") << QByteArray("2\n3\n") << QStringList{u"2"_s, u"3"_s};
    QTest::newRow("CR") << QByteArray("2\r3\r") << QStringList{u"2"_s, u"3"_s};
    QTest::newRow("no final line end") << QByteArray("2\r\n3") << QStringList{u"2"_s, u"3"_s};
    QTest::newRow("empty lines kept") << QByteArray("\r\n2\r\r\n\n") << QStringList{u""_s, u"2"_s, u""_s, u""_s};
    QTest::newRow("decoded") << QByteArray("1\xA0" "229\r\n") << QStringList{u"1\u00A0229"_s};
}

void TestListFileIo::readLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    const QString path = m_dir.filePath(u"lines.txt"_s);
    put(path, bytes);
    QCOMPARE(ReadLines(path), lines);
}

void TestListFileIo::appendNeverCreates()
{
    const QString path = m_dir.filePath(u"missing.txt"_s);
    try {
        EnregistrerLigneDansFichier(path, u"2"_s);
        QFAIL("appending to a missing file succeeded");
    } catch (const ListFileError &error) {
        QCOMPARE(error.message(), failure(u"Impossible d'ajouter une ligne au fichier"_s, path,
                                          u"le fichier ou son dossier n'existe pas"_s));
    }
    QVERIFY(!QFile::exists(path));
}

void TestListFileIo::writeFailureNamesTheFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    const QString plain = m_dir.filePath(u"plain.txt"_s);
    put(plain, "2\r\n");
    const QString fifo = m_dir.filePath(u"pipe"_s);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QTest::newRow("parent is a file") << plain + u"/NP_1-10_01.txt"_s
                                      << u"un élément du chemin n'est pas un dossier"_s;
    QTest::newRow("missing folder") << m_dir.filePath(u"nowhere/NP_1-10_01.txt"_s)
                                    << u"le fichier ou son dossier n'existe pas"_s;
    QTest::newRow("a folder") << m_dir.path() << u"ce chemin désigne un dossier"_s;
    QTest::newRow("a pipe") << fifo << u"ce chemin ne désigne pas un fichier ordinaire"_s;
}

void TestListFileIo::writeFailureNamesTheFile()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    try {
        WriteWholeFile(path, {u"2"_s});
        QFAIL("the write succeeded");
    } catch (const ListFileError &error) {
        QCOMPARE(error.message(), failure(u"Impossible d'écrire le fichier"_s, path, reason));
    }
}

void TestListFileIo::readOnlyFolderRefusesWrite()
{
    if (::geteuid() == 0)
        QSKIP("permission bits do not stop the superuser");
    const QString folder = m_dir.filePath(u"locked"_s);
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const QString path = folder + u"/NP_1-10_01.txt"_s;
    QString message;
    try {
        WriteWholeFile(path, {});
    } catch (const ListFileError &error) {
        message = error.message();
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(message, failure(u"Impossible d'écrire le fichier"_s, path, u"permission refusée"_s));
}

// A file size limit makes the system refuse the write halfway, as a full disk
// would, even for the superuser.
void TestListFileIo::failedRewriteKeepsTheOldContent()
{
    const QString path = m_dir.filePath(u"NP_1-10000_01.txt"_s);
    const QByteArray completed = QByteArray("2\r\n").repeated(320);
    put(path, completed);

    rlimit saved{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1000;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString headerMessage;
    QString writeMessage;
    try {
        IndiquerNombresContenus(path, true, u" "_s);
    } catch (const ListFileError &error) {
        headerMessage = error.message();
    }
    try {
        WriteWholeFile(path, QStringList(400, u"3"_s));
    } catch (const ListFileError &error) {
        writeMessage = error.message();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    const QString expected = failure(u"Impossible d'écrire le fichier"_s, path, u"le fichier est trop volumineux"_s);
    QCOMPARE(headerMessage, expected);
    QCOMPARE(writeMessage, expected);
    QCOMPARE(bytesOf(path), completed);
    QCOMPARE(QDir(m_dir.path()).entryList({u"NP_1-10000_01.txt*"_s}, QDir::Files).size(), 1);
}

void TestListFileIo::loadRefusesWhatIsNotAFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing") << m_dir.filePath(u"absent.txt"_s);
    QTest::newRow("folder") << m_dir.path();
    const QString fifo = m_dir.filePath(u"load-pipe"_s);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QTest::newRow("pipe, which would block") << fifo;
}

void TestListFileIo::loadRefusesWhatIsNotAFile()
{
    QFETCH(QString, path);
    QVERIFY(!FileExists(path));
    QVERIFY_THROWS_EXCEPTION(ListFileError, LoadListFileText(path));
}

void TestListFileIo::loadGivesTheTextWithPlainLineEnds()
{
    const QString path = m_dir.filePath(u"NP_1-10000_01.txt"_s);
    put(path, "NP_1-10000_01.txt\r\nNombres premiers de cette liste : 1\xA0" "229\r\n \r\n2\r3\n");
    QVERIFY(FileExists(path));
    QCOMPARE(LoadListFileText(path),
             u"NP_1-10000_01.txt\nNombres premiers de cette liste : 1\u00A0229\n \n2\n3\n"_s);
}

void TestListFileIo::pathLongerThanTheOldLimits()
{
    const QString folder = m_dir.filePath(QStringList(6, QString(50, u'd')).join(u'/'));
    QVERIFY(QDir().mkpath(folder));
    const QString first = folder + u"/NP_1-2000000_01.txt"_s;
    QVERIFY(first.size() > 300);

    WriteWholeFile(first, {u"2"_s});
    IndiquerNombresContenus(first, false, u" "_s);
    const QString second = CreationAutomatiqueFichierSuivant(first, BaseName(u"1"_s, u"2000000"_s), 2, 1000003);
    QCOMPARE(second, folder + u"/NP_1-2000000_02.txt"_s);
    QVERIFY(FileExists(first));
    QCOMPARE(ReadLines(second), QStringList{u"1000003"_s});
    QCOMPARE(LoadListFileText(first),
             u"NP_1-2000000_01.txt\nNombres premiers de cette liste : 1\n \n2\n"_s);
}

void TestListFileIo::loadStopsAtTheSizeLimit()
{
    // Sparse files: their size costs no disk.
    const QString path = m_dir.filePath(u"grand.txt"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(kLargestShownFile));
    file.close();
    QCOMPARE(LoadListFileText(path).size(), kLargestShownFile);
    QVERIFY(file.resize(kLargestShownFile + 1));
    QVERIFY_THROWS_EXCEPTION(ListFileSizeError, LoadListFileText(path));
    // Counting the lines of a file written by a run knows no such limit.
    QCOMPARE(ReadLines(path).size(), 1);
}

QTEST_GUILESS_MAIN(TestListFileIo)
#include "tst_listfileio.moc"
