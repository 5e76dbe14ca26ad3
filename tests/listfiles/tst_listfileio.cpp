// List files on disk, compared byte for byte with files worked out by hand
// or from a naive sieve, and the French messages of failed file operations.
#include "listfiles/ListFile.h"
#include "listfiles/ListFileNames.h"
#include "listfiles/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <limits>
#include <utility>
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

// A list's header typed out: its name, the count as on disk, one space.
QByteArray header(const QByteArray &name, const QByteArray &count)
{
    return name + "\r\nNombres premiers de cette liste : " + count + "\r\n \r\n";
}

// The two ways the program writes a file, for the rows that check both.
enum class Writer { List, Holding };

void writeWith(Writer writer, const QString &path, const QByteArray &bytes)
{
    if (writer == Writer::List)
        WriteListFile(path, HeaderBytes(u"NP_1-10_01.txt"_s, 0, false, u" "_s), bytes);
    else
        CreateFileHolding(path, bytes);
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
    void headerCounts_data();
    void headerCounts();
    void continuationBesideRenamedFirstFile();
    void oneWriterForAWholeList();
    void loadGivesPlainLineEnds_data();
    void loadGivesPlainLineEnds();
    void writeFailureNamesTheFile_data();
    void writeFailureNamesTheFile();
    void readOnlyFolderRefusesWrite();
    void failedRewriteKeepsTheOldContent();
    void loadRefusesWhatIsNotAFile_data();
    void loadRefusesWhatIsNotAFile();
    void pathLongerThanTheOldLimits();
    void loadStopsAtTheSizeLimit();

private:
    QTemporaryDir dir_;
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
// empty, then its 1229 primes written whole under their header.
void TestListFileIo::listOfTenThousand()
{
    QFETCH(bool, withSeparators);
    QFETCH(QString, separator);
    QFETCH(QByteArray, separatorByte);
    const QString path = dir_.filePath(u"NP_1-10000_01.txt"_s);

    // The number lines arrive already in bytes, their separator encoded once.
    const QByteArray encodedSeparator = EncodeWindows1252(separator);
    QByteArray numberLines;
    QByteArray body;
    int count = 0;
    for (const int p : naivePrimes(10000)) {
        const QByteArray digits = QByteArray::number(p);
        const bool grouped = withSeparators && p >= 1000;
        numberLines += (grouped ? digits.left(1) + encodedSeparator + digits.mid(1) : digits) + "\r\n";
        ++count;
        body += (grouped ? digits.left(1) + separatorByte + digits.mid(1) : digits) + "\r\n";
    }
    QCOMPARE(count, 1229);

    CreateFileHolding(path, {});
    QCOMPARE(bytesOf(path), QByteArray());
    WriteListFile(path, HeaderBytes(u"NP_1-10000_01.txt"_s, count, withSeparators, separator), numberLines);
    QCOMPARE(bytesOf(path), header("NP_1-10000_01.txt", "1" + separatorByte + "229") + body);
    QVERIFY(bytesOf(path).endsWith("9" + separatorByte + "973\r\n"));
}

void TestListFileIo::headerCounts_data()
{
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QByteArray>("numberLines");
    QTest::addColumn<QByteArray>("countOnDisk");
    QTest::newRow("first file stopped or no prime") << qint64(0) << QByteArray() << QByteArray("0");
    QTest::newRow("continuation stopped") << qint64(1) << QByteArray("1000003\r\n") << QByteArray("1");
    QTest::newRow("bytes of the numbers kept") << qint64(2) << QByteArray("1\xA0" "009\r\n1\xE2\x80\xAF" "013\r\n")
                                               << QByteArray("2");
    QTest::newRow("count grouped") << qint64(1000) << QByteArray("7\r\n").repeated(1000) << QByteArray("1\xA0" "000");
    QTest::newRow("largest count") << std::numeric_limits<qint64>::max() << QByteArray()
                                   << QByteArray("9\xA0" "223\xA0" "372\xA0" "036\xA0" "854\xA0" "775\xA0" "807");
}

void TestListFileIo::headerCounts()
{
    QFETCH(qint64, count);
    QFETCH(QByteArray, numberLines);
    QFETCH(QByteArray, countOnDisk);
    const QString path = dir_.filePath(u"NP_114-126_01.txt"_s);
    put(path, "an older, longer file that the list replaces whole\r\n");
    WriteListFile(path, HeaderBytes(u"NP_114-126_01.txt"_s, count, true, u"\u202F"_s), numberLines);
    QCOMPARE(bytesOf(path), header("NP_114-126_01.txt", countOnDisk) + numberLines);
}

void TestListFileIo::continuationBesideRenamedFirstFile()
{
    QVERIFY(QDir(dir_.path()).mkpath(u"renamed"_s));
    const QString first = dir_.filePath(u"renamed/liste.txt"_s);
    CreateFileHolding(first, {});
    WriteListFile(first, HeaderBytes(u"liste.txt"_s, 2, false, u" "_s), "2\r\n3\r\n");
    QCOMPARE(bytesOf(first), header("liste.txt", "2") + "2\r\n3\r\n");

    // A file left by an earlier run is replaced without a trace.
    const QString second = ContinuationPath(first, u"NP_1-2500000_"_s, 2);
    QCOMPARE(second, dir_.filePath(u"renamed/NP_1-2500000_02.txt"_s));
    put(second, QByteArray("old content, longer than the new one\r\n"));
    CreateFileHolding(second, "1000003\r\n");
    QCOMPARE(bytesOf(second), QByteArray("1000003\r\n"));
    WriteListFile(second, HeaderBytes(u"NP_1-2500000_02.txt"_s, 2, true, u"\u202F"_s),
                  "1000003\r\n1\xA0" "000\xA0" "033\r\n");
    QCOMPARE(bytesOf(second), header("NP_1-2500000_02.txt", "2") + "1000003\r\n1\xA0" "000\xA0" "033\r\n");
    // Nothing but the two lists is left in the folder: no hidden file of a write.
    QCOMPARE(QDir(dir_.filePath(u"renamed"_s)).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// One writer for a list of four files, as a run uses it: each file held,
// then completed, and the file held in between replaced by another program.
// Every list must come out whole, the other program's file must not be
// written into afterwards, and nothing hidden may stay once it is over.
void TestListFileIo::oneWriterForAWholeList()
{
    QVERIFY(QDir(dir_.path()).mkpath(u"writer"_s));
    const auto path = [this](int k) { return dir_.filePath(u"writer/NP_1-4000000_0%1.txt"_s.arg(k)); };
    const auto lines = [](int k) { return QByteArray::number(k * 1000003) + "\r\n" + QByteArray::number(k) + "7\r\n"; };
    const QByteArray outsider = "written by another program\r\n";
    const QString other = dir_.filePath(u"writer/autre.txt"_s);
    ListFileWriter writer;
    for (int k = 1; k <= 4; ++k) {
        writer.CreateFileHolding(path(k), QByteArray::number(k * 1000003) + "\r\n");
        QCOMPARE(bytesOf(path(k)), QByteArray::number(k * 1000003) + "\r\n");
        if (k == 2) {
            // The other program keeps its file under a second name too.
            put(other, outsider);
            const QByteArray second = QFile::encodeName(path(k) + u".b"_s);
            QCOMPARE(::link(QFile::encodeName(other).constData(), second.constData()), 0);
            QCOMPARE(std::rename(second.constData(), QFile::encodeName(path(k)).constData()), 0);
        }
        writer.WriteListFile(path(k), HeaderBytes(u"F%1"_s.arg(k), 2, false, u" "_s), lines(k));
    }
    writer.Finish();
    for (int k = 1; k <= 4; ++k)
        QCOMPARE(bytesOf(path(k)), header("F" + QByteArray::number(k), "2") + lines(k));
    QCOMPARE(bytesOf(other), outsider);
    QCOMPARE(QDir(dir_.filePath(u"writer"_s)).entryList(QDir::Files | QDir::Hidden).size(), 5);
}

void TestListFileIo::loadGivesPlainLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("CR LF") << QByteArray("2\r\n3\r\n") << u"2\n3\n"_s;
    QTest::newRow("LF") << QByteArray("2\n3\n") << u"2\n3\n"_s;
    QTest::newRow("CR") << QByteArray("2\r3\r") << u"2\n3\n"_s;
    QTest::newRow("no final line end") << QByteArray("2\r\n3") << u"2\n3"_s;
    QTest::newRow("empty lines kept") << QByteArray("\r\n2\r\r\n\n") << u"\n2\n\n\n"_s;
    QTest::newRow("list with its header")
        << QByteArray("NP_1-10000_01.txt\r\nNombres premiers de cette liste : 1\xA0" "229\r\n \r\n2\r3\n")
        << u"NP_1-10000_01.txt\nNombres premiers de cette liste : 1\u00A0229\n \n2\n3\n"_s;
}

void TestListFileIo::loadGivesPlainLineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const QString path = dir_.filePath(u"lines.txt"_s);
    put(path, bytes);
    QCOMPARE(LoadListFileText(path), text);
    QCOMPARE(ListTextFromBytes(bytes), text);
}

void TestListFileIo::writeFailureNamesTheFile_data()
{
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    const QString plain = dir_.filePath(u"plain.txt"_s);
    put(plain, "2\r\n");
    const QString fifo = dir_.filePath(u"pipe"_s);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const auto &[writer, name] : {std::pair(Writer::List, "list: "), std::pair(Writer::Holding, "holding: ")}) {
        const QByteArray prefix(name);
        QTest::newRow((prefix + "parent is a file").constData()) << writer << plain + u"/NP_1-10_01.txt"_s
                                                   << u"un élément du chemin n'est pas un dossier"_s;
        QTest::newRow((prefix + "missing folder").constData()) << writer << dir_.filePath(u"nowhere/NP_1-10_01.txt"_s)
                                                 << u"le fichier ou son dossier n'existe pas"_s;
        QTest::newRow((prefix + "a folder").constData()) << writer << dir_.path() << u"ce chemin désigne un dossier"_s;
        QTest::newRow((prefix + "a pipe").constData()) << writer << fifo << u"ce chemin ne désigne pas un fichier ordinaire"_s;
    }
}

void TestListFileIo::writeFailureNamesTheFile()
{
    QFETCH(Writer, writer);
    QFETCH(QString, path);
    QFETCH(QString, reason);
    try {
        writeWith(writer, path, "2\r\n");
        QFAIL("the write succeeded");
    } catch (const ListFileError &error) {
        QCOMPARE(error.message(), failure(u"Impossible d'écrire le fichier"_s, path, reason));
    }
}

void TestListFileIo::readOnlyFolderRefusesWrite()
{
    if (::geteuid() == 0)
        QSKIP("permission bits do not stop the superuser");
    const QString folder = dir_.filePath(u"locked"_s);
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const QString path = folder + u"/NP_1-10_01.txt"_s;
    QStringList messages;
    for (const Writer writer : {Writer::List, Writer::Holding}) {
        try {
            writeWith(writer, path, {});
        } catch (const ListFileError &error) {
            messages.append(error.message());
        }
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString refused = failure(u"Impossible d'écrire le fichier"_s, path, u"permission refusée"_s);
    QCOMPARE(messages, QStringList(2, refused));
}

// A file size limit makes the system refuse the write halfway, as a full disk
// would, even for the superuser.
void TestListFileIo::failedRewriteKeepsTheOldContent()
{
    const QString path = dir_.filePath(u"NP_1-10000_01.txt"_s);
    const QByteArray completed = QByteArray("2\r\n").repeated(320);
    put(path, completed);

    rlimit saved{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1000;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString listMessage;
    QString holdingMessage;
    try {
        WriteListFile(path, HeaderBytes(u"NP_1-10000_01.txt"_s, 320, true, u" "_s), completed);
    } catch (const ListFileError &error) {
        listMessage = error.message();
    }
    try {
        CreateFileHolding(path, QByteArray("3\r\n").repeated(400));
    } catch (const ListFileError &error) {
        holdingMessage = error.message();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    const QString expected = failure(u"Impossible d'écrire le fichier"_s, path, u"le fichier est trop volumineux"_s);
    QCOMPARE(listMessage, expected);
    QCOMPARE(holdingMessage, expected);
    QCOMPARE(bytesOf(path), completed);
    QCOMPARE(QDir(dir_.path()).entryList({u"*NP_1-10000_01.txt*"_s}, QDir::Files | QDir::Hidden).size(), 1);
}

void TestListFileIo::loadRefusesWhatIsNotAFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing") << dir_.filePath(u"absent.txt"_s);
    QTest::newRow("folder") << dir_.path();
    const QString fifo = dir_.filePath(u"load-pipe"_s);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QTest::newRow("pipe, which would block") << fifo;
}

void TestListFileIo::loadRefusesWhatIsNotAFile()
{
    QFETCH(QString, path);
    QVERIFY_THROWS_EXCEPTION(ListFileError, LoadListFileText(path));
}

void TestListFileIo::pathLongerThanTheOldLimits()
{
    const QString folder = dir_.filePath(QStringList(6, QString(50, u'd')).join(u'/'));
    QVERIFY(QDir().mkpath(folder));
    const QString first = folder + u"/NP_1-2000000_01.txt"_s;
    QVERIFY(first.size() > 300);

    CreateFileHolding(first, {});
    WriteListFile(first, HeaderBytes(u"NP_1-2000000_01.txt"_s, 1, false, u" "_s), "2\r\n");
    const QString second = ContinuationPath(first, u"NP_1-2000000_"_s, 2);
    QCOMPARE(second, folder + u"/NP_1-2000000_02.txt"_s);
    CreateFileHolding(second, "1000003\r\n");
    QCOMPARE(LoadListFileText(second), u"1000003\n"_s);
    QCOMPARE(LoadListFileText(first),
             u"NP_1-2000000_01.txt\nNombres premiers de cette liste : 1\n \n2\n"_s);
}

void TestListFileIo::loadStopsAtTheSizeLimit()
{
    // Sparse files: their size costs no disk.
    const QString path = dir_.filePath(u"grand.txt"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(kLargestShownFile));
    file.close();
    QCOMPARE(LoadListFileText(path).size(), kLargestShownFile);
    QVERIFY(file.resize(kLargestShownFile + 1));
    QVERIFY_THROWS_EXCEPTION(ListFileSizeError, LoadListFileText(path));
}

QTEST_GUILESS_MAIN(TestListFileIo)
#include "tst_listfileio.moc"
