// The resume check against lists the engine really wrote and stopped at
// random files, then damaged in the ways a crash, a full disk or an editor
// leave them: the answer must be the first file that is not whole.
#include "HeadlessRun.h"

#include "core/Generation.h"
#include "presentation/NumberText.h"
#include "listfiles/ListFileNames.h"
#include "listhost/ListResume.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The separator of the lists.
const QString kSeparator = QStringLiteral("'");

constexpr qint64 kFirst = 100;
constexpr qint64 kLast = 8'000'000; // 8 files
const QString kFirstText = QStringLiteral("100");
const QString kLastText = QStringLiteral("8000000");

QString BaseName()
{
    return ListRequestFor(kFirst, kLast, kFirstText, kLastText, kSeparator).baseName;
}

QString PathOf(const QString &firstFile, qint64 k)
{
    return k == 1 ? firstFile : ListFiles::ContinuationPath(firstFile, BaseName(), k);
}

std::optional<qint64> Check(const QString &firstFile, bool separators)
{
    return ResumeFile(kFirst, kLast, firstFile, BaseName(), separators, kSeparator);
}

QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Removes the number line in the middle and puts the matching count in the
// header: the file is consistent with itself, only the slice says no.
QByteArray DropMiddleLine(QByteArray bytes, bool separators)
{
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast(); // after the last CR LF
    lines.removeAt(3 + (lines.size() - 3) / 2);
    const qint64 count = lines.size() - 3;
    const QByteArray digits =
        separators ? GroupDigits(count, kSeparator).toLatin1() : QByteArray::number(count);
    lines[1] = "Nombres premiers de cette liste : " + digits + '\r';
    return lines.join('\n') + '\n';
}

} // namespace

class TestListResume : public QObject
{
    Q_OBJECT

private slots:
    void stoppedThenDamaged_data();
    void stoppedThenDamaged();
    void wholeOrForeignListsAreNotResumed();
    void questionText() { QCOMPARE(ResumeQuestion(1043), QStringLiteral("Reprendre la liste à partir du fichier 1043 ?")); }
};

void TestListResume::stoppedThenDamaged_data()
{
    QTest::addColumn<bool>("separators");
    QTest::addColumn<int>("damage");
    const char *const damages[] = {"none", "last line cut", "header count", "first line", "missing",
                                   "middle line dropped"};
    for (const bool separators : {false, true})
        for (int d = 0; d < 6; ++d)
            QTest::addRow("%s, %s", separators ? "separators" : "plain", damages[d]) << separators << d;
}

void TestListResume::stoppedThenDamaged()
{
    QFETCH(bool, separators);
    QFETCH(int, damage);
    QRandomGenerator random(quint32(19 + damage + (separators ? 100 : 0)));
    QTemporaryDir dir;
    const QString firstFile = dir.filePath(QStringLiteral("liste.txt"));
    HeadlessRun run(firstFile, separators);
    const int asked = 1 + int(random.bounded(6));
    run.StopAfter(asked);
    Generer(run, kFirst, kLast, kFirstText, kLastText, kSeparator);
    // The engine takes a checkpoint in the block that starts a file, so the
    // stop lands in the file after the asked one, however fast it runs.
    const qint64 stopped = run.Completed() + 1;
    QCOMPARE(stopped, qint64(asked + 1));
    QVERIFY(QFile::exists(PathOf(firstFile, stopped)));
    QVERIFY(!QFile::exists(PathOf(firstFile, stopped + 1)));

    qint64 expected = stopped;
    if (damage != 0) {
        const qint64 k = 1 + qint64(random.bounded(int(stopped - 1)));
        const QString path = PathOf(firstFile, k);
        QByteArray bytes = Read(path);
        switch (damage) {
        case 1: // a write cut short
            bytes.chop(5);
            break;
        case 2: { // one digit of the count changed
            const qsizetype at = bytes.indexOf(": ") + 3;
            bytes[at] = bytes[at] == '9' ? '8' : char(bytes[at] + 1);
            break;
        }
        case 3: { // the first number changed
            const qsizetype at = bytes.indexOf(" \r\n") + 3;
            bytes[at] = bytes[at] == '9' ? '8' : char(bytes[at] + 1);
            break;
        }
        case 4:
            bytes.clear();
            QVERIFY(QFile::remove(path));
            break;
        case 5:
            bytes = DropMiddleLine(bytes, separators);
            break;
        }
        if (!bytes.isEmpty())
            Write(path, bytes);
        expected = k;
    }
    const std::optional<qint64> resume = Check(firstFile, separators);
    if (expected == 1)
        QVERIFY(!resume);
    else
        QCOMPARE(resume, std::optional<qint64>(expected));

    // Resumed, the list is byte for byte the one an uninterrupted run
    // writes, the damaged file written again.
    HeadlessRun resumed(firstFile, separators);
    resumed.resume = true;
    Generer(resumed, kFirst, kLast, kFirstText, kLastText, kSeparator);
    QCOMPARE(resumed.messages.size(), 1);
    QCOMPARE(resumed.Completed(), int(8 - expected));
    QTemporaryDir wholeDir;
    const QString wholeFirst = wholeDir.filePath(QStringLiteral("liste.txt"));
    HeadlessRun whole(wholeFirst, separators);
    Generer(whole, kFirst, kLast, kFirstText, kLastText, kSeparator);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QDir(wholeDir.path()).entryList(QDir::Files));
    for (qint64 k = 1; k <= 8; ++k)
        QVERIFY2(Read(PathOf(firstFile, k)) == Read(PathOf(wholeFirst, k)), qPrintable(QString::number(k)));
}

void TestListResume::wholeOrForeignListsAreNotResumed()
{
    QTemporaryDir dir;
    const QString firstFile = dir.filePath(QStringLiteral("liste.txt"));
    HeadlessRun run(firstFile, true);
    run.StopAfter(3);
    Generer(run, kFirst, kLast, kFirstText, kLastText, kSeparator);
    const qint64 stopped = run.Completed() + 1;
    QCOMPARE(stopped, qint64(4));
    QCOMPARE(Check(firstFile, true), std::optional<qint64>(stopped));
    // The same files with the other separator choice are another list.
    QVERIFY(!Check(firstFile, false));
    // Another range's first file: another start, so other primes.
    QVERIFY(!ResumeFile(kFirst + 10, kLast, firstFile, BaseName(), true, kSeparator));

    QTemporaryDir whole;
    const QString wholeFirst = whole.filePath(QStringLiteral("liste.txt"));
    HeadlessRun complete(wholeFirst, false);
    Generer(complete, kFirst, kLast, kFirstText, kLastText, kSeparator);
    QCOMPARE(complete.Completed(), 7);
    QVERIFY(!Check(wholeFirst, false));
}

QTEST_GUILESS_MAIN(TestListResume)
#include "tst_listresume.moc"
