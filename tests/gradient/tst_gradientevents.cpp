// TGradient's gsCustom pattern, its system colours (resolved at rebuild,
// updated on a settings change) and its mouse notifications.
#include "GradientTest.h"

#include <QApplication>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QtTest>

using namespace GradientTest;

class TestGradientEvents : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void systemColoursResolvedAtRebuild();
    void customWithoutHandler();
    void customWithHandler();
    void customHandlerErrorLeavesPatternInvalid();
    void updateSysColors();
    void updateSysColorsFallback();
    void updateSysColorsErrorPropagates();
    void settingsChange();
    void mouseEnterAndLeave();
    void click();
    void resizeAndPaintDoNotRebuild();
};

void TestGradientEvents::cleanup()
{
    SetSystemColorSource({});
}

void TestGradientEvents::systemColoursResolvedAtRebuild()
{
    TGradient gradient;
    useSystemColours({{27, RGBToColor(1, 2, 3)}});
    gradient.SetColorBegin(clGradientActiveCaption);
    QCOMPARE(gradient.ColorTable()[0], qRgb(1, 2, 3));

    useSystemColours({{27, RGBToColor(4, 5, 6)}});
    QCOMPARE(gradient.ColorTable()[0], qRgb(1, 2, 3));
    gradient.UpdatePattern();
    QCOMPARE(gradient.ColorTable()[0], qRgb(4, 5, 6));
}

void TestGradientEvents::customWithoutHandler()
{
    TGradient gradient;
    gradient.BeginUpdate();
    gradient.SetColorBegin(red);
    gradient.SetColorEnd(blue);
    gradient.SetShift(50);  // the quarters show the ends without the shift
    gradient.SetStyle(gsCustom);
    gradient.EndUpdate();

    const QImage &pattern = gradient.Pattern();
    QCOMPARE(pattern.size(), QSize(2, 2));
    QCOMPARE(pattern.pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(pattern.pixel(1, 0), qRgb(0, 0, 255));
    QCOMPARE(pattern.pixel(0, 1), qRgb(0, 0, 255));
    QCOMPARE(pattern.pixel(1, 1), qRgb(255, 0, 0));

    gradient.SetReverse(true);
    QCOMPARE(gradient.Pattern().pixel(0, 0), qRgb(0, 0, 255));
    QCOMPARE(gradient.Pattern().pixel(1, 0), qRgb(255, 0, 0));
}

void TestGradientEvents::customWithHandler()
{
    TGradient gradient;
    gradient.SetColorBegin(red);
    int calls = 0;
    gradient.OnCustom = [&](TGradient *sender, const TGradientColors &colors, QImage &pattern) {
        ++calls;
        QCOMPARE(sender, &gradient);
        QCOMPARE(colors, gradient.ColorTable());
        pattern = QImage(3, 1, QImage::Format_RGB32);
        pattern.fill(colors[0]);
    };
    gradient.SetStyle(gsCustom);
    QCOMPARE(calls, 1);
    QCOMPARE(gradient.Pattern().size(), QSize(3, 1));
    QCOMPARE(gradient.Pattern().pixel(2, 0), qRgb(255, 0, 0));
}

void TestGradientEvents::customHandlerErrorLeavesPatternInvalid()
{
    TGradient gradient;
    gradient.OnCustom = [](TGradient *, const TGradientColors &, QImage &) {
        throw std::runtime_error("handler failed");
    };
    QSignalSpy rebuilds(&gradient, &TGradient::patternRebuilt);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, gradient.SetStyle(gsCustom));
    QVERIFY(!gradient.PatternValid());
    QCOMPARE(rebuilds.count(), 0);

    gradient.OnCustom = nullptr;
    gradient.UpdatePattern();
    QVERIFY(gradient.PatternValid());
}

void TestGradientEvents::updateSysColors()
{
    useSystemColours({{2, RGBToColor(10, 20, 30)}, {27, RGBToColor(40, 50, 60)}});
    TGradient gradient;
    QSignalSpy rebuilds(&gradient, &TGradient::patternRebuilt);
    gradient.SetUseSysColors(true);
    QCOMPARE(gradient.ColorBegin(), RGBToColor(10, 20, 30));
    QCOMPARE(gradient.ColorEnd(), RGBToColor(40, 50, 60));
    QVERIFY(gradient.UseSysColors());
    QCOMPARE(rebuilds.count(), 1);
    QCOMPARE(gradient.UpdateCount(), 0);
    QCOMPARE(gradient.ColorTable()[0], qRgb(10, 20, 30));
}

void TestGradientEvents::updateSysColorsFallback()
{
    useSystemColours({{2, RGBToColor(10, 20, 30)}}, COLOR_GRADIENTACTIVECAPTION);
    TGradient gradient;
    QSignalSpy rebuilds(&gradient, &TGradient::patternRebuilt);
    gradient.SetUseSysColors(true);
    QCOMPARE(gradient.ColorBegin(), RGBToColor(10, 20, 30));
    QCOMPARE(gradient.ColorEnd(), RGBToColor(10, 20, 30));
    QVERIFY(!gradient.UseSysColors());
    QCOMPARE(rebuilds.count(), 1);
    QCOMPARE(gradient.UpdateCount(), 0);
}

void TestGradientEvents::updateSysColorsErrorPropagates()
{
    useSystemColours({}, COLOR_ACTIVECAPTION);
    TGradient gradient;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, gradient.UpdateSysColors());
    QCOMPARE(gradient.UpdateCount(), 0);
    QCOMPARE(gradient.ColorBegin(), clWhite);
    QVERIFY(gradient.PatternValid());
}

void TestGradientEvents::settingsChange()
{
    useSystemColours({{2, RGBToColor(10, 20, 30)}, {27, RGBToColor(40, 50, 60)}});
    TGradient following;
    following.SetUseSysColors(true);
    TGradient fixed;
    fixed.SetColorBegin(red);

    useSystemColours({{2, RGBToColor(70, 80, 90)}, {27, RGBToColor(100, 110, 120)}});
    QSignalSpy rebuilds(&following, &TGradient::patternRebuilt);
    for (QEvent::Type type : {QEvent::ApplicationPaletteChange, QEvent::PaletteChange}) {
        QEvent change(type);
        QApplication::sendEvent(&following, &change);
        QApplication::sendEvent(&fixed, &change);
    }
    QCOMPARE(following.ColorBegin(), RGBToColor(70, 80, 90));
    QCOMPARE(following.ColorEnd(), RGBToColor(100, 110, 120));
    QVERIFY(following.UseSysColors());
    QCOMPARE(rebuilds.count(), 1);  // the second notification finds nothing changed
    QCOMPARE(fixed.ColorBegin(), red);
}

void TestGradientEvents::mouseEnterAndLeave()
{
    TGradient gradient;
    QList<QString> seen;
    gradient.OnMouseEnter = [&](TGradient *sender) {
        QCOMPARE(sender, &gradient);
        seen << QStringLiteral("enter");
    };
    gradient.OnMouseLeave = [&](TGradient *sender) {
        QCOMPARE(sender, &gradient);
        seen << QStringLiteral("leave");
    };
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&gradient, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&gradient, &leave);
    QCOMPARE(seen, (QList<QString>{QStringLiteral("enter"), QStringLiteral("leave")}));
}

void TestGradientEvents::click()
{
    QWidget parent;
    parent.resize(200, 200);
    auto *gradient = new TGradient(&parent);
    gradient->move(10, 10);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QSignalSpy clicks(gradient, &TGradient::clicked);

    QTest::mouseClick(gradient, Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(clicks.count(), 1);
    QTest::mouseClick(gradient, Qt::RightButton, {}, QPoint(50, 50));
    QCOMPARE(clicks.count(), 1);
    // Released outside: no click.
    QTest::mousePress(gradient, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseRelease(gradient, Qt::LeftButton, {}, QPoint(150, 150));
    QCOMPARE(clicks.count(), 1);
}

void TestGradientEvents::resizeAndPaintDoNotRebuild()
{
    CountingGradient gradient;
    QSignalSpy rebuilds(&gradient, &TGradient::patternRebuilt);
    gradient.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gradient));
    gradient.resize(333, 129);
    QTRY_VERIFY(gradient.paints > 0);
    QImage canvas(gradient.size(), QImage::Format_RGB32);
    for (int shape = stRectangle; shape <= stCircle; ++shape) {
        gradient.SetShape(TShapeType(shape));
        gradient.SetBorderWidth(shape);
        gradient.render(&canvas);
    }
    QCOMPARE(rebuilds.count(), 0);
}

QTEST_MAIN(TestGradientEvents)
#include "tst_gradientevents.moc"
