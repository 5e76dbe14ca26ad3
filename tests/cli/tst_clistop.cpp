// A long list run by a real tavorine-cli process, stopped by SIGINT or
// SIGTERM, or killed by SIGKILL, at random moments and at every file system
// step of its first files; afterwards every file on disk must be one the run
// may legally leave there.
#include "CliRun.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

const QString kBase = QStringLiteral("NP_1-10000000000_");
constexpr qint64 kLast = 10'000'000'000;
constexpr qint64 kSlice = 1'000'000;

QString FileName(int k)
{
    return kBase + (k < 10 ? QStringLiteral("0") : QString()) + QString::number(k) + QStringLiteral(".txt");
}

// The primes of file k: the run starts at 2, and each file holds one slice
// of a million numbers.
QList<qint64> SlicePrimes(int k)
{
    const qint64 from = 2 + (k - 1) * kSlice;
    return SievePrimes(from, qMin(kLast, from + kSlice - 1));
}

enum class Ending { Stopped, Killed, KilledBeforeFirstFile };

// A random seed, or the one TAVORINE_TEST_SEED gives back; printed so that
// a failure can be replayed.
quint32 Seed()
{
    bool given = false;
    const quint32 asked = qEnvironmentVariable("TAVORINE_TEST_SEED").toUInt(&given);
    const quint32 seed = given ? asked : QRandomGenerator::global()->generate();
    qDebug("seed %u (TAVORINE_TEST_SEED=%u replays it)", seed, seed);
    return seed;
}

// File system steps of the list files (tavorine-cli's kill seam) from the
// first file's creation to the completion of file 3: each step of the cycle
// (create a file, complete it, the next one taken from the spare) twice.
constexpr int kStepsOfThreeFiles = 20;

} // namespace

class TestCliStop : public QObject
{
    Q_OBJECT

private slots:
    void stopSignals_data();
    void stopSignals();
    void killedProcess();
    void killedAtEveryFileStep();

private:
    void startList(QProcess &process, const QString &folder);
    void checkFiles(const QString &folder, Ending ending);
};

void TestCliStop::startList(QProcess &process, const QString &folder)
{
    process.start(QStringLiteral(TAVORINE_CLI),
                  {"lister", "1", QString::number(kLast), "--dossier", folder, "--silencieux"});
    QVERIFY(process.waitForStarted());
    // The handlers are in place before the first file is created.
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(QDir(folder).filePath(FileName(1))) && waited.elapsed() < 10'000)
        QThread::msleep(1);
    QVERIFY(QFileInfo::exists(QDir(folder).filePath(FileName(1))));
}

// What each file may be once the process is gone:
// - files 1 to m are there, with no gap, and nothing else bearing the list's
//   name; each one before m is complete: its header with its own name and
//   the count of its lines, then exactly the primes of its slice;
// - after a stop, file m got its header over what it held on disk: no
//   number for the first file, its first prime for a continuation file;
// - after SIGKILL, file m is complete, or still as it was created (the first
//   file empty, a continuation file holding its first prime alone, since
//   primes are kept in memory until the file is complete and then written
//   to a file with no name that takes its place by a rename; a continuation
//   file is created holding its first prime the same way). Killed between
//   the moment such a file gets a hidden name (".NAME.PID-N.tmp") and the
//   rename, the process leaves it behind, complete: the whole list or the
//   first prime alone, never half-written, and never under a list's name.
//   Killed just after such a hidden file traded places with the file held
//   at the name, the hidden file holds what the name held: the file as it
//   was created (empty for the first file). Instead of such a file, it may
//   leave the spare file that holds the next file's first prime
//   (".tavorine-libre.PID-N.tmp"): hidden, one line at most.
// - killed before the first file got its name, the folder is empty.
void TestCliStop::checkFiles(const QString &folder, Ending ending)
{
    QDir dir(folder);
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    const QRegularExpression leftover(QStringLiteral("^\\.NP_1-10000000000_\\d\\d+\\.txt\\.\\d+-\\d+\\.tmp$"));
    const QStringList temporaries = names.filter(leftover);
    const QRegularExpression spare(QStringLiteral("^\\.tavorine-libre\\.\\d+-\\d+\\.tmp$"));
    const QStringList spares = names.filter(spare);
    const qsizetype hidden = temporaries.size() + spares.size();
    QVERIFY2(ending != Ending::Stopped ? hidden <= 1 : hidden == 0, qPrintable((temporaries + spares).join(", ")));
    for (const QString &s : spares) {
        names.removeOne(s);
        QVERIFY2(ReadFileBytes(dir.filePath(s)).size() <= 48, qPrintable(s));
    }
    for (const QString &t : temporaries) {
        names.removeOne(t);
        const QString name = t.mid(1, t.indexOf(QStringLiteral(".txt.")) + 3);
        const int k = name.mid(name.lastIndexOf(QLatin1Char('_')) + 1).chopped(4).toInt();
        const QByteArray bytes = ReadFileBytes(dir.filePath(t));
        const QList<qint64> primes = SlicePrimes(k);
        const QByteArray created = k == 1 ? QByteArray() : QByteArray::number(primes.constFirst()) + "\r\n";
        QVERIFY2(bytes == ListFileBytes(FileName(k), primes) || bytes == created, qPrintable(t));
    }

    const int m = int(names.size());
    if (ending == Ending::KilledBeforeFirstFile) {
        QVERIFY2(names.isEmpty() && hidden == 0, qPrintable(names.join(", ")));
        return;
    }
    QVERIFY(m >= 1);
    for (int k = 1; k <= m; ++k)
        QVERIFY2(names.contains(FileName(k)), qPrintable(names.join(", ")));

    for (int k = 1; k <= m; ++k) {
        const QByteArray bytes = ReadFileBytes(dir.filePath(FileName(k)));
        const QList<qint64> primes = SlicePrimes(k);
        const QByteArray complete = ListFileBytes(FileName(k), primes);
        if (k < m) {
            QVERIFY2(bytes == complete, qPrintable(FileName(k)));
            continue;
        }
        const QList<qint64> held = k == 1 ? QList<qint64>() : QList<qint64>{primes.constFirst()};
        if (ending == Ending::Stopped) {
            QVERIFY2(bytes == ListFileBytes(FileName(k), held), bytes.left(200).constData());
        } else {
            const QByteArray created = k == 1 ? QByteArray() : QByteArray::number(held.constFirst()) + "\r\n";
            QVERIFY2(bytes == complete || bytes == created, bytes.left(200).constData());
        }
    }
    qDebug("%d file(s)%s", m, temporaries.isEmpty() && spares.isEmpty() ? "" : ", with a hidden temporary file");
}

void TestCliStop::stopSignals_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("twice");
    QTest::addColumn<int>("status");
    QTest::newRow("Ctrl+C") << int(SIGINT) << false << 130;
    QTest::newRow("Ctrl+C twice") << int(SIGINT) << true << 130;
    QTest::newRow("SIGTERM") << int(SIGTERM) << false << 143;
}

void TestCliStop::stopSignals()
{
    QFETCH(int, signal);
    QFETCH(bool, twice);
    QFETCH(int, status);
    QRandomGenerator random(Seed());
    for (int round = 0; round < 3; ++round) {
        QTemporaryDir dir;
        QProcess process;
        startList(process, dir.path());
        QThread::msleep(random.bounded(150));
        ::kill(pid_t(process.processId()), signal);
        if (twice) {
            QThread::usleep(random.bounded(2000));
            ::kill(pid_t(process.processId()), signal);
        }
        QVERIFY(process.waitForFinished(30'000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        QCOMPARE(process.readAllStandardError(), QByteArray());
        checkFiles(dir.path(), Ending::Stopped);
    }
}

void TestCliStop::killedProcess()
{
    QRandomGenerator random(Seed());
    for (int round = 0; round < 8; ++round) {
        QTemporaryDir dir;
        QProcess process;
        startList(process, dir.path());
        // Microseconds, so that kills land anywhere in the writing of a file.
        QThread::usleep(random.bounded(150'000));
        ::kill(pid_t(process.processId()), SIGKILL);
        QVERIFY(process.waitForFinished(30'000));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        checkFiles(dir.path(), Ending::Killed);
    }
}

void TestCliStop::killedAtEveryFileStep()
{
    // Step 1 opens the first file's unnamed file, 3 names it; from 4 on the
    // first file exists.
    for (int step = 1; step <= kStepsOfThreeFiles; ++step) {
        QTemporaryDir dir;
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TAVORINE_CLI_KILL_AT_FILE_STEP"), QString::number(step));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TAVORINE_CLI),
                      {"lister", "1", QString::number(kLast), "--dossier", dir.path(), "--silencieux"});
        QVERIFY(process.waitForFinished(30'000));
        QVERIFY2(process.exitStatus() == QProcess::CrashExit, qPrintable(QString::number(step)));
        qDebug("step %d: %s", step, qPrintable(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).join(", ")));
        checkFiles(dir.path(), step <= 3 ? Ending::KilledBeforeFirstFile : Ending::Killed);
        if (QTest::currentTestFailed())
            return;
    }
}

QTEST_GUILESS_MAIN(TestCliStop)
#include "tst_clistop.moc"
