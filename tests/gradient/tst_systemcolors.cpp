// TColor resolution: plain colours pass through, system colours come from the
// palette where Qt has the role and from the classic scheme otherwise, at use time.
#include "gradient/SystemColors.h"

#include <QApplication>
#include <QPalette>
#include <QtTest>

#include <stdexcept>

class TestSystemColors : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void constants();
    void plainColourPassesThrough_data();
    void plainColourPassesThrough();
    void classicCaptionColours_data();
    void classicCaptionColours();
    void buttonFaceFollowsThePalette();
    void unknownIndexIsBlack();
    void replacedSource();
    void colorToQRgb();
};

void TestSystemColors::cleanup()
{
    SetSystemColorSource({});
    QApplication::setPalette(QPalette());
}

void TestSystemColors::constants()
{
    QCOMPARE(quint32(clWhite), 0x00FFFFFFu);
    QCOMPARE(quint32(clBtnFace), 0xFF00000Fu);
    QCOMPARE(quint32(clActiveBorder), 0xFF00000Au);
    QCOMPARE(quint32(clGradientActiveCaption), 0xFF00001Bu);
    QVERIFY(clBtnFace < 0);
    QCOMPARE(RGBToColor(0x12, 0x34, 0x56), TColor(0x00563412));
}

void TestSystemColors::plainColourPassesThrough_data()
{
    QTest::addColumn<TColor>("color");
    QTest::newRow("black") << TColor(0);
    QTest::newRow("white") << clWhite;
    QTest::newRow("navy") << TColor(0x00800000);
    QTest::newRow("palette-relative top byte") << TColor(0x02123456);
}

void TestSystemColors::plainColourPassesThrough()
{
    QFETCH(TColor, color);
    QCOMPARE(ColorToRGB(color), color);
}

void TestSystemColors::classicCaptionColours_data()
{
    QTest::addColumn<TColor>("color");
    QTest::addColumn<TColor>("expected");
    QTest::newRow("2 active caption") << clActiveCaption << RGBToColor(10, 36, 106);
    QTest::newRow("10 active border") << clActiveBorder << RGBToColor(212, 208, 200);
    QTest::newRow("27 gradient active caption") << clGradientActiveCaption << RGBToColor(166, 202, 240);
}

void TestSystemColors::classicCaptionColours()
{
    QFETCH(TColor, color);
    QFETCH(TColor, expected);
    QCOMPARE(ColorToRGB(color), expected);
}

void TestSystemColors::buttonFaceFollowsThePalette()
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
    QApplication::setPalette(palette);
    QCOMPARE(ColorToRGB(clBtnFace), RGBToColor(1, 2, 3));

    palette.setColor(QPalette::Active, QPalette::Button, QColor(40, 50, 60));
    QApplication::setPalette(palette);
    QCOMPARE(ColorToRGB(clBtnFace), RGBToColor(40, 50, 60));
}

void TestSystemColors::unknownIndexIsBlack()
{
    QCOMPARE(SystemColor(31), clBlack);
    QCOMPARE(ColorToRGB(TColor(0xFF0000FFu)), clBlack);
}

void TestSystemColors::replacedSource()
{
    SetSystemColorSource([](int index) -> TColor {
        if (index == COLOR_GRADIENTACTIVECAPTION)
            throw std::runtime_error("no gradient caption");
        return RGBToColor(index, 0, 0);
    });
    QCOMPARE(ColorToRGB(clBtnFace), RGBToColor(15, 0, 0));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, ColorToRGB(clGradientActiveCaption));

    SetSystemColorSource({});
    QCOMPARE(ColorToRGB(clGradientActiveCaption), RGBToColor(166, 202, 240));
}

void TestSystemColors::colorToQRgb()
{
    QCOMPARE(ColorToQRgb(RGBToColor(0x12, 0x34, 0x56)), qRgb(0x12, 0x34, 0x56));
    QCOMPARE(ColorToQRgb(clGradientActiveCaption), qRgb(166, 202, 240));
    QCOMPARE(qAlpha(ColorToQRgb(clBlack)), 255);
}

QTEST_MAIN(TestSystemColors)
#include "tst_systemcolors.moc"
