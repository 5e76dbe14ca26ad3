// TGradient's property rules: initial values, clamping, which assignments rebuild the
// pattern, update brackets, gsCustom, system colours and the mouse notifications.
#include "gradient/Gradient.h"

#include <QApplication>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QtTest>

#include <map>
#include <stdexcept>

namespace {

constexpr TColor red = RGBToColor(255, 0, 0);
constexpr TColor blue = RGBToColor(0, 0, 255);

// A system whose colour of each index is (index, 0, 0), except where told otherwise.
void useSystemColours(std::map<int, TColor> colours, int failingIndex = -1)
{
    SetSystemColorSource([colours, failingIndex](int index) -> TColor {
        if (index == failingIndex)
            throw std::runtime_error("system colour unavailable");
        const auto found = colours.find(index);
        return found != colours.end() ? found->second : RGBToColor(index, 0, 0);
    });
}

// Counts the paint events the widget receives.
class CountingGradient : public TGradient
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        TGradient::paintEvent(event);
    }
};

} // namespace

class TestGradientWidget : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void initialValues();
    void initialPattern();
    void hasNoNativeWindow();
    void clamping_data();
    void clamping();
    void equalValueDoesNotRebuild_data();
    void equalValueDoesNotRebuild();
    void changeRebuildsOnce_data();
    void changeRebuildsOnce();
    void borderAndShapeDoNotRebuild_data();
    void borderAndShapeDoNotRebuild();
    void equalValueDoesNotRepaint();
    void shapeSetsTheOpaqueMark();
    void colourSettersClearUseSysColors();
    void storageRules();
    void invalidEnumValuesAreIgnored();
    void bracketRebuildsOnceAtTheEnd();
    void nestedBrackets();
    void emptyBracketRebuildsNothing();
    void reverseSwapsTheEnds();
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

void TestGradientWidget::cleanup()
{
    SetSystemColorSource({});
}

void TestGradientWidget::initialValues()
{
    const TGradient gradient;
    QCOMPARE(gradient.ColorBegin(), clWhite);
    QCOMPARE(gradient.ColorEnd(), clBtnFace);
    QCOMPARE(gradient.UseSysColors(), false);
    QCOMPARE(gradient.Style(), gsRadialC);
    QCOMPARE(gradient.Shift(), 0);
    QCOMPARE(gradient.Rotation(), 0);
    QCOMPARE(gradient.Shape(), stRectangle);
    QCOMPARE(gradient.Reverse(), false);
    QCOMPARE(gradient.BorderColor(), clActiveBorder);
    QCOMPARE(gradient.BorderWidth(), 0);
    QCOMPARE(gradient.UpdateCount(), 0);
    QCOMPARE(gradient.size(), QSize(100, 100));
    QVERIFY(gradient.testAttribute(Qt::WA_OpaquePaintEvent));
    QVERIFY(!gradient.OnCustom);
}

void TestGradientWidget::initialPattern()
{
    useSystemColours({{15, RGBToColor(200, 100, 50)}});
    const TGradient gradient;
    QVERIFY(gradient.PatternValid());
    QCOMPARE(gradient.Pattern().size(), QSize(362, 362));
    QCOMPARE(gradient.ColorTable()[0], qRgb(255, 255, 255));
    QCOMPARE(gradient.ColorTable()[255], qRgb(200, 100, 50));
    QCOMPARE(gradient.Pattern().pixel(180, 180), qRgb(255, 255, 255));
    QCOMPARE(gradient.Pattern().pixel(0, 0), qRgb(200, 100, 50));
}

void TestGradientWidget::hasNoNativeWindow()
{
    QWidget parent;
    auto *gradient = new TGradient(&parent);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QVERIFY(!gradient->testAttribute(Qt::WA_NativeWindow));
    QVERIFY(gradient->internalWinId() == 0);
}

void TestGradientWidget::clamping_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<int>("assigned");
    QTest::addColumn<int>("stored");

    for (const char *name : {"Shift", "Rotation"}) {
        const QByteArray property(name);
        QTest::addRow("%s 120 stores 100", name) << property << 120 << 100;
        QTest::addRow("%s -130 stores -100", name) << property << -130 << -100;
        QTest::addRow("%s 100 stays", name) << property << 100 << 100;
        QTest::addRow("%s -100 stays", name) << property << -100 << -100;
        QTest::addRow("%s 37 stays", name) << property << 37 << 37;
        QTest::addRow("%s a million stores 100", name) << property << 1000000 << 100;
    }
}

void TestGradientWidget::clamping()
{
    QFETCH(QByteArray, property);
    QFETCH(int, assigned);
    QFETCH(int, stored);

    TGradient gradient;
    QVERIFY(gradient.setProperty(property, assigned));
    QCOMPARE(gradient.property(property).toInt(), stored);

    // Whatever clamps to the stored value is the current value.
    QSignalSpy rebuilds(&gradient, &TGradient::patternRebuilt);
    QVERIFY(gradient.setProperty(property, assigned));
    QVERIFY(gradient.setProperty(property, stored));
    QCOMPARE(rebuilds.count(), 0);
}

void TestGradientWidget::equalValueDoesNotRebuild_data()
{
    QTest::addColumn<QByteArray>("property");
    for (const char *property : {"BorderColor", "BorderWidth", "ColorBegin", "ColorEnd", "Reverse",
                                 "Rotation", "Shape", "Shift", "Style", "UseSysColors"})
        QTest::newRow(property) << QByteArray(property);
}

void TestGradientWidget::equalValueDoesNotRebuild()
{
    QFETCH(QByteArray, property);
    TGradient gradient;
    const qint64 patternKey = gradient.Pattern().cacheKey();
    QSignalSpy rebuilds(&gradient, &TGradient::patternRebuilt);
    QVERIFY(gradient.setProperty(property, gradient.property(property)));
    QCOMPARE(rebuilds.count(), 0);
    QCOMPARE(gradient.Pattern().cacheKey(), patternKey);
}

void TestGradientWidget::changeRebuildsOnce_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("ColorBegin") << QByteArray("ColorBegin") << QVariant(red);
    QTest::newRow("ColorEnd") << QByteArray("ColorEnd") << QVariant(red);
    QTest::newRow("Reverse") << QByteArray("Reverse") << QVariant(true);
    QTest::newRow("Rotation") << QByteArray("Rotation") << QVariant(-20);
    QTest::newRow("Shift") << QByteArray("Shift") << QVariant(20);
    QTest::newRow("Style") << QByteArray("Style") << QVariant::fromValue(gsDiamond);
}

void TestGradientWidget::changeRebuildsOnce()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);
    TGradient gradient;
    QSignalSpy rebuilds(&gradient, &TGradient::patternRebuilt);
    QVERIFY(gradient.setProperty(property, value));
    QCOMPARE(gradient.property(property), value);
    QCOMPARE(rebuilds.count(), 1);
    QVERIFY(gradient.PatternValid());
}

void TestGradientWidget::borderAndShapeDoNotRebuild_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("BorderColor") << QByteArray("BorderColor") << QVariant(red);
    QTest::newRow("BorderWidth") << QByteArray("BorderWidth") << QVariant(4);
    QTest::newRow("Shape") << QByteArray("Shape") << QVariant::fromValue(stCircle);
}

void TestGradientWidget::borderAndShapeDoNotRebuild()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);
    CountingGradient gradient;
    gradient.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gradient));
    const qint64 patternKey = gradient.Pattern().cacheKey();
    QSignalSpy rebuilds(&gradient, &TGradient::patternRebuilt);
    gradient.paints = 0;

    QVERIFY(gradient.setProperty(property, value));
    QCOMPARE(gradient.property(property), value);
    QTRY_VERIFY(gradient.paints > 0);
    QCOMPARE(rebuilds.count(), 0);
    QCOMPARE(gradient.Pattern().cacheKey(), patternKey);
}

void TestGradientWidget::equalValueDoesNotRepaint()
{
    CountingGradient gradient;
    gradient.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gradient));
    QTRY_VERIFY(gradient.paints > 0);
    QTest::qWait(50);
    gradient.paints = 0;

    gradient.SetBorderColor(gradient.BorderColor());
    gradient.SetShape(gradient.Shape());
    gradient.SetColorBegin(gradient.ColorBegin());
    gradient.SetShift(gradient.Shift());
    QTest::qWait(50);
    QCOMPARE(gradient.paints, 0);

    gradient.SetShift(10);
    QTRY_VERIFY(gradient.paints > 0);
}

void TestGradientWidget::shapeSetsTheOpaqueMark()
{
    TGradient gradient;
    for (int shape : {stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle, stRectangle}) {
        gradient.SetShape(TShapeType(shape));
        QCOMPARE(gradient.testAttribute(Qt::WA_OpaquePaintEvent), shape == stRectangle);
    }
}

void TestGradientWidget::colourSettersClearUseSysColors()
{
    useSystemColours({});
    TGradient gradient;
    gradient.SetUseSysColors(true);
    QVERIFY(gradient.UseSysColors());
    gradient.SetColorBegin(red);
    QVERIFY(!gradient.UseSysColors());

    gradient.SetUseSysColors(true);
    QVERIFY(gradient.UseSysColors());
    gradient.SetColorEnd(red);
    QVERIFY(!gradient.UseSysColors());

    // Turning it off keeps the colours it brought.
    gradient.SetUseSysColors(true);
    const TColor begin = gradient.ColorBegin();
    gradient.SetUseSysColors(false);
    QCOMPARE(gradient.ColorBegin(), begin);
}

void TestGradientWidget::storageRules()
{
    useSystemColours({});
    TGradient gradient;
    const QMetaObject *meta = gradient.metaObject();
    const QMetaProperty begin = meta->property(meta->indexOfProperty("ColorBegin"));
    const QMetaProperty end = meta->property(meta->indexOfProperty("ColorEnd"));
    QVERIFY(begin.isValid() && end.isValid());

    QVERIFY(!gradient.IsColorBeginStored());
    QVERIFY(!gradient.IsColorEndStored());
    gradient.SetColorBegin(red);
    QVERIFY(gradient.IsColorBeginStored());
    QVERIFY(!gradient.IsColorEndStored());
    gradient.SetColorEnd(blue);
    QVERIFY(gradient.IsColorEndStored());
    gradient.SetColorBegin(clWhite);
    gradient.SetColorEnd(clBtnFace);
    QVERIFY(!gradient.IsColorBeginStored());
    QVERIFY(!gradient.IsColorEndStored());

    gradient.SetUseSysColors(true);
    QVERIFY(gradient.ColorBegin() != clWhite);
    QVERIFY(!gradient.IsColorBeginStored());
    QVERIFY(!gradient.IsColorEndStored());
}

void TestGradientWidget::invalidEnumValuesAreIgnored()
{
    TGradient gradient;
    QSignalSpy rebuilds(&gradient, &TGradient::patternRebuilt);
    gradient.SetStyle(TGradientStyle(GradientStyleCount));
    gradient.SetShape(TShapeType(stCircle + 1));
    QCOMPARE(gradient.Style(), gsRadialC);
    QCOMPARE(gradient.Shape(), stRectangle);
    QCOMPARE(rebuilds.count(), 0);
}

void TestGradientWidget::bracketRebuildsOnceAtTheEnd()
{
    TGradient gradient;
    QSignalSpy rebuilds(&gradient, &TGradient::patternRebuilt);
    gradient.BeginUpdate();
    gradient.SetColorBegin(red);
    gradient.SetColorEnd(blue);
    gradient.SetStyle(gsLinearH);
    gradient.SetShift(30);
    gradient.SetRotation(-40);
    gradient.SetReverse(true);
    QCOMPARE(rebuilds.count(), 0);
    QVERIFY(!gradient.PatternValid());

    // Painting inside the bracket draws nothing over what was there.
    QImage canvas(gradient.size(), QImage::Format_RGB32);
    canvas.fill(Qt::green);
    const QImage before = canvas;
    gradient.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
    QCOMPARE(canvas, before);

    gradient.EndUpdate();
    QCOMPARE(rebuilds.count(), 1);
    QVERIFY(gradient.PatternValid());
    QCOMPARE(gradient.Pattern().size(), QSize(256, 1));
    QCOMPARE(gradient.ColorTable(), TGradient::BuildColorTable(blue, red, 30, -40));
}

void TestGradientWidget::nestedBrackets()
{
    TGradient gradient;
    QSignalSpy rebuilds(&gradient, &TGradient::patternRebuilt);
    gradient.BeginUpdate();
    gradient.BeginUpdate();
    gradient.SetStyle(gsDiamond);
    gradient.EndUpdate();
    QCOMPARE(rebuilds.count(), 0);
    QCOMPARE(gradient.UpdateCount(), 1);
    gradient.SetReverse(true);
    gradient.EndUpdate();
    QCOMPARE(rebuilds.count(), 1);
    QCOMPARE(gradient.UpdateCount(), 0);
}

void TestGradientWidget::emptyBracketRebuildsNothing()
{
    TGradient gradient;
    QSignalSpy rebuilds(&gradient, &TGradient::patternRebuilt);
    gradient.BeginUpdate();
    gradient.SetBorderWidth(3);
    gradient.SetShape(stEllipse);
    gradient.SetStyle(gradient.Style());
    gradient.EndUpdate();
    QCOMPARE(rebuilds.count(), 0);
    QVERIFY(gradient.PatternValid());
}

void TestGradientWidget::reverseSwapsTheEnds()
{
    TGradient gradient;
    gradient.SetColorBegin(red);
    gradient.SetColorEnd(blue);
    QCOMPARE(gradient.ColorTable()[0], qRgb(255, 0, 0));
    QCOMPARE(gradient.ColorTable()[255], qRgb(0, 0, 255));
    gradient.SetReverse(true);
    QCOMPARE(gradient.ColorTable()[0], qRgb(0, 0, 255));
    QCOMPARE(gradient.ColorTable()[255], qRgb(255, 0, 0));
}

// A system colour is looked up when the pattern is rebuilt, not when it is assigned.
void TestGradientWidget::systemColoursResolvedAtRebuild()
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

void TestGradientWidget::customWithoutHandler()
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

void TestGradientWidget::customWithHandler()
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

void TestGradientWidget::customHandlerErrorLeavesPatternInvalid()
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

void TestGradientWidget::updateSysColors()
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

void TestGradientWidget::updateSysColorsFallback()
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

void TestGradientWidget::updateSysColorsErrorPropagates()
{
    useSystemColours({}, COLOR_ACTIVECAPTION);
    TGradient gradient;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, gradient.UpdateSysColors());
    QCOMPARE(gradient.UpdateCount(), 0);
    QCOMPARE(gradient.ColorBegin(), clWhite);
    QVERIFY(gradient.PatternValid());
}

void TestGradientWidget::settingsChange()
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

void TestGradientWidget::mouseEnterAndLeave()
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

void TestGradientWidget::click()
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

void TestGradientWidget::resizeAndPaintDoNotRebuild()
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

QTEST_MAIN(TestGradientWidget)
#include "tst_gradientwidget.moc"
