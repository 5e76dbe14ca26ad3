// The hand-over from workers to the window's thread, and the window's job
// thread: order, newest-only progress, one wake per burst, a clear while
// full, and jobs posted after a stop.
#include "ui/threads/JobThread.h"
#include "ui/threads/Mailbox.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

class TestMailbox : public QObject
{
    Q_OBJECT

private slots:
    void burstIsOneWakeInOrder_data();
    void burstIsOneWakeInOrder();
    void clearWhileFullDropsEverything();
    void clearFromAnEventEndsItsBatch();
    void jobThreadAcceptsPostsAfterStop();
};

void TestMailbox::burstIsOneWakeInOrder_data()
{
    QTest::addColumn<int>("workers");
    QTest::newRow("one worker") << 1;
    QTest::newRow("three workers") << 3;
}

void TestMailbox::burstIsOneWakeInOrder()
{
    // Each worker posts its events in order, each followed by a progress;
    // the window's thread is busy meanwhile, so all of it is one burst.
    QFETCH(int, workers);
    constexpr int kEvents = 2000;
    TMailbox mailbox;
    std::vector<std::vector<int>> seen(workers);
    std::vector<int> progressShown;
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w) {
        threads.emplace_back([&, w] {
            for (int i = 0; i < kEvents; ++i) {
                mailbox.Post([&seen, w, i] { seen[w].push_back(i); });
                mailbox.Progress([&progressShown, &seen, w, i] {
                    // The progress comes after every event posted before it.
                    QCOMPARE(int(seen[w].size()), i + 1);
                    progressShown.push_back(i);
                });
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    QCOMPARE(mailbox.Wakes(), quint64(1));
    QTRY_COMPARE(int(seen[0].size()), kEvents);
    for (const std::vector<int> &events : seen) {
        QCOMPARE(int(events.size()), kEvents);
        for (int i = 0; i < kEvents; ++i)
            QCOMPARE(events[i], i);
    }
    // Only the newest progress of the burst runs.
    QCOMPARE(int(progressShown.size()), 1);
    // The next burst wakes the window's thread again.
    mailbox.Post([] {});
    QCOMPARE(mailbox.Wakes(), quint64(2));
}

void TestMailbox::clearWhileFullDropsEverything()
{
    // A worker fills the mailbox and waits; the window's thread clears it,
    // as a closing window does, and nothing posted before runs.
    TMailbox mailbox;
    std::atomic<int> ran = 0;
    QSemaphore filled;
    QSemaphore cleared;
    std::thread worker([&] {
        for (int i = 0; i < 500; ++i)
            mailbox.Post([&ran] { ++ran; });
        mailbox.Progress([&ran] { ran += 1000; });
        filled.release();
        cleared.acquire();
        mailbox.Post([&ran] { ran += 1'000'000; });
    });
    filled.acquire();
    mailbox.Clear();
    cleared.release();
    worker.join();
    QTRY_COMPARE(ran.load(), 1'000'000);
    QCoreApplication::processEvents();
    QCOMPARE(ran.load(), 1'000'000);
}

void TestMailbox::clearFromAnEventEndsItsBatch()
{
    TMailbox mailbox;
    QStringList ran;
    mailbox.Post([&] { ran << "first"; });
    mailbox.Post([&] {
        ran << "clears";
        mailbox.Clear();
    });
    mailbox.Post([&] { ran << "dropped"; });
    mailbox.Progress([&] { ran << "dropped progress"; });
    mailbox.Deliver();
    QCOMPARE(ran, QStringList({"first", "clears"}));
}

void TestMailbox::jobThreadAcceptsPostsAfterStop()
{
    // A stopped job thread is not dead: the next job starts it again.
    TJobThread jobs("tvr-test", nullptr);
    QSemaphore done;
    std::atomic<int> runs = 0;
    for (int round = 0; round < 3; ++round) {
        jobs.Post([&] {
            ++runs;
            done.release();
        });
        QVERIFY(done.tryAcquire(1, 60000));
        jobs.Stop();
    }
    QCOMPARE(runs.load(), 3);
}

QTEST_GUILESS_MAIN(TestMailbox)
#include "tst_mailbox.moc"
