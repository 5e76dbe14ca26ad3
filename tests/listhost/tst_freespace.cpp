// The free-space rule on a small file system of the test's own (a tmpfs of
// 64 MiB, mounted when the test may mount, skipped otherwise): a list too
// large is refused, and filling the disk trips the watch before the reserve.
#include "HeadlessRun.h"
#include "presentation/InlineRun.h"
#include "core/StopToken.h"
#include "listfiles/ListFileNames.h"
#include "listhost/FreeSpace.h"
#include "presentation/Messages.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The separator of the lists.
const QString kSeparator = QStringLiteral(" ");

class TestFreeSpace : public QObject
{
    Q_OBJECT

private slots:
    void reserve();
    void smallFileSystem();
    void listsOnSmallFileSystem_data();
    void listsOnSmallFileSystem();
};

void TestFreeSpace::reserve()
{
    QCOMPARE(FreeSpace::ReserveFor(64ULL << 20), (64ULL << 20) / 50);
    QCOMPARE(FreeSpace::ReserveFor(1ULL << 40), 1ULL << 30);
}

void TestFreeSpace::smallFileSystem()
{
    QTemporaryDir dir;
    const QString mountPoint = dir.path();
    if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                    QStringLiteral("size=64m"), QStringLiteral("tmpfs"), mountPoint})
        != 0)
        QSKIP("this test needs to mount a tmpfs (root)");
    const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {mountPoint}); });

    FreeSpace space(mountPoint + QStringLiteral("/not/yet/created"));
    QVERIFY(space.Known());
    QCOMPARE(space.Total(), 64ULL << 20);
    const quint64 room = space.Available() - space.Reserve();
    QVERIFY(space.Fits(room));
    QVERIFY(!space.Fits(room + 1));
    QVERIFY(ErrorText(space.Refusal(100ULL << 20)).contains(QDir::toNativeSeparators(mountPoint)));

    // Files of 2 MB, as a run writes them, until the watch says stop.
    const QByteArray chunk(2'000'000, 'x');
    quint64 written = 0;
    int files = 0;
    while (!space.WouldFill(files == 0 ? 0 : quint64(chunk.size()), quint64(chunk.size()))) {
        QFile file(mountPoint + QStringLiteral("/%1.txt").arg(files++));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(chunk), chunk.size());
        file.close();
        written += quint64(chunk.size());
        QVERIFY(files < 100);
    }
    // It stopped with the reserve whole, and less than one more file short.
    FreeSpace after(mountPoint);
    QVERIFY(after.Available() >= after.Reserve());
    QVERIFY(after.Available() < after.Reserve() + 2 * quint64(chunk.size()) + (1 << 20));
}

void TestFreeSpace::listsOnSmallFileSystem_data()
{
    // The file that finds the disk nearly full is written on the run's own
    // thread in the one case, ahead of it on the file work's thread in the
    // other, where the run has gone on formatting.
    QTest::addColumn<bool>("filesOffThread");
    QTest::newRow("files on the run's thread") << false;
    QTest::newRow("files on a thread of their own") << true;
}

void TestFreeSpace::listsOnSmallFileSystem()
{
    QFETCH(bool, filesOffThread);
    QTemporaryDir dir;
    const QString mountPoint = dir.path();
    if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                    QStringLiteral("size=16m"), QStringLiteral("tmpfs"), mountPoint})
        != 0)
        QSKIP("this test needs to mount a tmpfs (root)");
    const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {mountPoint}); });
    const QString firstFile = mountPoint + QStringLiteral("/liste.txt");

    // About 500 MB: refused before anything is created, with its box.
    HeadlessRun refused(firstFile, false);
    const QString bigFirst = QStringLiteral("1"), bigLast = QStringLiteral("1000000000");
    Generer(refused, 1, 1'000'000'000, bigFirst, bigLast, kSeparator);
    QCOMPARE(refused.messages.size(), 1);
    QVERIFY(refused.messages.constFirst().contains(QStringLiteral("n'a que")));
    QVERIFY(QDir(mountPoint).entryList(QDir::Files).isEmpty());

    // About 30 MB straight to the engine: it stops before the reserve, the
    // completed files whole and the current one with its header alone.
    const qint64 first = 1'000'000'000'000, last = first + 1'000'000'000;
    ListRequest request = ListRequestFor(first, last, QString::number(first), QString::number(last), kSeparator);
    request.firstFile = firstFile;
    HeadlessRun run(firstFile, false);
    run.filesOffThread = filesOffThread;
    StopToken stop;
    const ListResult result = GenerateList(run, request, stop, [](const ListProgress &) {});
    QVERIFY(result.stopped);
    QVERIFY(result.diskFull);
    QVERIFY(!result.error);
    FreeSpace after(mountPoint);
    QVERIFY(after.Available() >= after.Reserve());
    QCOMPARE(QDir(mountPoint).entryList(QDir::Files).size(), qsizetype(result.files));
    QCOMPARE(run.Completed(), int(result.files - 1));
    QFile current(result.lastFile);
    QVERIFY(current.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = current.readAll().split('\n');
    QCOMPARE(lines.size(), 5); // three header lines, the first prime, the end
    QCOMPARE(lines[1], QByteArray("Nombres premiers de cette liste : 1\r"));
    // The stopped list resumes at its current file.
    QCOMPARE(run.ResumeFile(request), std::optional<qint64>(result.files));
}

QTEST_GUILESS_MAIN(TestFreeSpace)
#include "tst_freespace.moc"
