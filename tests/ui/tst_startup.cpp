// Start-up as a single instance: the real executable started twice is
// refused the second time, and starts again once the first has ended.
#include "ModalAnswerer.h"

#include "ui/startup/Startup.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

#include <algorithm>

namespace {

// The kernel lists every bound local socket, abstract names with a leading
// "@". Looking there, rather than trying to take the name, never holds it
// for a moment in which a starting child would find it taken.
bool NameTaken()
{
    QFile sockets(QStringLiteral("/proc/net/unix"));
    if (!sockets.open(QIODevice::ReadOnly))
        qFatal("cannot read /proc/net/unix");
    const QList<QByteArray> lines = sockets.readAll().split('\n');
    return std::any_of(lines.cbegin(), lines.cend(),
                       [](const QByteArray &line) { return line.endsWith(" @TVR"); });
}

void Start(QProcess &process)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TAVORINE_EXECUTABLE), QStringList());
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void refusalBox();
    void secondStartIsRefused();
};

void TestStartup::refusalBox()
{
    ModalAnswerer answerer;
    RefuserSecondeInstance();
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].caption, QStringLiteral("Tavorine"));
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("TVR is already in use."));
    QCOMPARE(answerer.boxes[0].icon, QMessageBox::NoIcon);
    QCOMPARE(answerer.boxes[0].buttons, QStringList{QStringLiteral("OK")});
}

void TestStartup::secondStartIsRefused()
{
    if (NameTaken())
        QSKIP("Another Tavorine runs on this machine");

    QProcess first;
    Start(first);
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(NameTaken(), 20000);

    QProcess second;
    Start(second);
    QVERIFY(second.waitForStarted());
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += second.readAllStandardError()).contains("TVR is already in use."), 20000);
    second.kill();
    second.waitForFinished();
    QCOMPARE(first.state(), QProcess::Running);
    QVERIFY(NameTaken());

    // Even a killed first instance leaves nothing behind.
    first.kill();
    QVERIFY(first.waitForFinished());
    QTRY_VERIFY_WITH_TIMEOUT(!NameTaken(), 5000);

    QProcess third;
    Start(third);
    QVERIFY(third.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(NameTaken(), 20000);
    QTest::qWait(200);
    QVERIFY(!third.readAllStandardError().contains("already in use"));
    QCOMPARE(third.state(), QProcess::Running);
    third.terminate();
    if (!third.waitForFinished(5000))
        third.kill();
    third.waitForFinished();
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
