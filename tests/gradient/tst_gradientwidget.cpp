// TGradient's property rules: initial values, clamping, which assignments rebuild the
// pattern and update brackets (gsCustom, system colours and the notifications are in
// tst_gradientevents.cpp).
#include "GradientTest.h"

#include <QApplication>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QtTest>

#include <map>
#include <stdexcept>

using namespace GradientTest;


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
QTEST_MAIN(TestGradientWidget)
#include "tst_gradientwidget.moc"
