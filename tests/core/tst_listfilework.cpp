// ListFileWork's contract, on a thread of its own and at once: operations
// run in the order posted, and the first one that throws ends the run at
// its file, dropping those queued after it.
#include "core/ListFileWork.h"

#include <QtTest>
#include <semaphore>
#include <stdexcept>

class TestListFileWork : public QObject
{
    Q_OBJECT

private slots:
    void operations_data();
    void operations();
};

void TestListFileWork::operations_data()
{
    QTest::addColumn<bool>("threaded");
    QTest::addColumn<int>("failing"); // the first operation that throws, -1 for none
    for (const bool threaded : {true, false}) {
        const char *where = threaded ? "off thread" : "at once";
        QTest::addRow("%s, none fails", where) << threaded << -1;
        QTest::addRow("%s, the first fails", where) << threaded << 0;
        QTest::addRow("%s, the third fails", where) << threaded << 2;
    }
}

void TestListFileWork::operations()
{
    QFETCH(bool, threaded);
    QFETCH(int, failing);
    // Five operations, of files 11 to 15; the one after the failing one
    // throws too, and must not be what the run reports.
    constexpr int kOperations = 5;
    QList<int> ran;
    // Off thread, the failing operation (or the last one) holds until every
    // operation is posted, so that those after it are queued when it fails.
    const int held = failing >= 0 ? failing : kOperations - 1;
    std::binary_semaphore release(0);
    {
        ListFileWork work(threaded);
        for (int i = 0; i < kOperations; ++i) {
            const bool posted = work.Post(11 + i, QStringLiteral("NP_%1.txt").arg(11 + i), [&, i] {
                if (threaded && i == held)
                    release.acquire();
                ran << i;
                if (failing >= 0 && (i == failing || i == failing + 1))
                    throw std::runtime_error("disk");
            });
            // At once, the failure is known as soon as the operation ran.
            QCOMPARE(posted, threaded || failing < 0 || i < failing);
        }
        if (threaded)
            QVERIFY(!work.Failed());
        release.release();
        QCOMPARE(work.Drain(), failing < 0);
        QList<int> expected;
        for (int i = 0; i < (failing >= 0 ? failing + 1 : kOperations); ++i)
            expected << i;
        QCOMPARE(ran, expected);
        if (failing >= 0) {
            QVERIFY(work.Failed());
            QCOMPARE(work.TheFailure().k, qint64(11 + failing));
            QCOMPARE(work.TheFailure().file, QStringLiteral("NP_%1.txt").arg(11 + failing));
            QVERIFY_THROWS_EXCEPTION(std::runtime_error, std::rethrow_exception(work.TheFailure().error));
            QVERIFY(!work.Post(20, QString(), [&] { ran << 20; }));
        }
    }
    // Nothing ran after the failure, nor once the work was let go.
    QCOMPARE(ran.size(), failing >= 0 ? failing + 1 : kOperations);
}

QTEST_GUILESS_MAIN(TestListFileWork)
#include "tst_listfilework.moc"
