// The splash window: its layout and gradient, closing at the first timer
// tick or at a left click anywhere on it, and being destroyed on closing.
#include "Version.h"
#include "gradient/Gradient.h"
#include "ui/startup/Splash.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>

class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void layout();
    void closesAtTheTimerTick();
    void closesAtALeftClick_data();
    void closesAtALeftClick();
    void rightClickDoesNotClose();
};

void TestSplash::layout()
{
    QPointer<TSplash> splash = new TSplash;
    splash->ShowAndPaint();
    QCOMPARE(splash->size(), QSize(345, 141));
    QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(splash->windowFlags() & Qt::WindowStaysOnTopHint);
    TGradient *gradient = splash->Gradient();
    QCOMPARE(gradient->objectName(), QStringLiteral("Gradient1"));
    QCOMPARE(gradient->geometry(), QRect(0, -2, 333, 129));
    QCOMPARE(gradient->Style(), gsDiamond);
    QVERIFY(gradient->Reverse());
    QCOMPARE(gradient->ColorBegin(), clGradientActiveCaption);
    QCOMPARE(gradient->ColorEnd(), clWhite);
    QVERIFY(gradient->PatternValid());
    QCOMPARE(splash->findChild<QWidget *>(QStringLiteral("PanelInside"))->geometry(), QRect(6, 6, 333, 129));
    QCOMPARE(splash->findChild<QLabel *>(QStringLiteral("ProductNameLabel"))->text(), QStringLiteral("Tavorine"));
    QCOMPARE(splash->findChild<QLabel *>(QStringLiteral("LabelVersionBuild"))->text(), QStringLiteral("Version " TAVORINE_VERSION_TEXT));
    QCOMPARE(splash->findChild<QTimer *>(QStringLiteral("Timer1"))->interval(), 1800);

    // Painted: the centre of the diamond is near white, its corners are not.
    const QImage shot = splash->grab().toImage();
    QVERIFY(qGray(shot.pixel(6 + 166, 6 + 62)) > 240);
    QVERIFY(qGray(shot.pixel(8, 135)) < 240);
    delete splash;
}

void TestSplash::closesAtTheTimerTick()
{
    QPointer<TSplash> splash = new TSplash;
    splash->ShowAndPaint();
    // The timer runs from the start, set to 1 800 ms; until it fires the
    // splash stays. Its tick is then given at once instead of waited for.
    auto *timer = splash->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1800);
    QVERIFY(timer->remainingTime() > 0);
    QCoreApplication::processEvents();
    QVERIFY(splash && splash->isVisible());
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
    QTRY_VERIFY(splash.isNull());
}

void TestSplash::closesAtALeftClick_data()
{
    QTest::addColumn<QString>("part");
    QTest::newRow("gradient") << "Gradient1";
    QTest::newRow("picture") << "Image1";
    QTest::newRow("name") << "ProductNameLabel";
    QTest::newRow("address") << "Label1";
    QTest::newRow("frame") << "PanelSplash";
}

void TestSplash::closesAtALeftClick()
{
    QFETCH(QString, part);
    QPointer<TSplash> splash = new TSplash;
    splash->ShowAndPaint();
    QVERIFY(QTest::qWaitForWindowExposed(splash));
    auto *target = splash->findChild<QWidget *>(part);
    QVERIFY(target);
    const QPoint point = part == QLatin1String("PanelSplash") ? QPoint(2, 2) : target->rect().center();
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, point);
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 1000);
}

void TestSplash::rightClickDoesNotClose()
{
    QPointer<TSplash> splash = new TSplash;
    splash->ShowAndPaint();
    QTest::mouseClick(splash->Gradient(), Qt::RightButton);
    QTest::qWait(50);
    QVERIFY(splash && splash->isVisible());
    delete splash;
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
