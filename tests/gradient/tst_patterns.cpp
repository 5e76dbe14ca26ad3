// The pattern builders against formulas of our own: every pixel of every style is the
// table entry its geometric description gives, plus the described landmark points.
#include "gradient/GradientPatterns.h"

#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

// Red = index, green = 255 - index: the index can be read back from any pixel,
// and a pixel that is no entry at all (green + red != 255) shows.
QRgb entryColour(int index)
{
    return qRgb(index, 255 - index, (index * 37) & 0xFF);
}

TGradientColors distinctTable()
{
    TGradientColors table;
    for (int i = 0; i < 256; ++i)
        table[i] = entryColour(i);
    return table;
}

// A colour no entry has, to see pixels a builder left alone.
const QRgb untouched = qRgb(1, 1, 1);

QSize expectedSize(TGradientStyle style)
{
    switch (style) {
    case gsRadialC: return {362, 362};
    case gsRadialT: case gsRadialB: return {362, 181};
    case gsRadialL: case gsRadialR: return {181, 362};
    case gsRadialTL: case gsRadialTR: case gsRadialBL: case gsRadialBR: return {181, 181};
    case gsLinearH: return {256, 1};
    case gsLinearV: return {1, 256};
    case gsReflectedH: return {1, 512};
    case gsReflectedV: return {512, 1};
    case gsDiagonalLF: case gsDiagonalLB: return {128, 129};
    case gsDiagonalRF: case gsDiagonalRB: return {256, 256};
    case gsArrowL: case gsArrowR: return {129, 256};
    case gsArrowU: case gsArrowD: return {256, 129};
    case gsDiamond: case gsButterfly: return {256, 256};
    case gsRadialRect: return {512, 512};
    case gsCustom: break;
    }
    return {};
}

// Radial axes, as distances from a centre at a real coordinate.
double centred(int v) { return std::abs(v - 180.5) - 0.5; }
double lowEdge(int v) { return v; }
double highEdge(int v) { return 180 - v; }

int radial(double dx, double dy)
{
    return int(std::lround(std::hypot(dx, dy)));
}

// Distance from the middle of a 256-wide axis, 0 on the two middle lines.
double fromMiddle(int v, double middle = 127.5) { return std::abs(v - middle) - 0.5; }

int expectedIndex(TGradientStyle style, int x, int y)
{
    switch (style) {
    case gsRadialC: return radial(centred(x), centred(y));
    case gsRadialT: return radial(centred(x), lowEdge(y));
    case gsRadialB: return radial(centred(x), highEdge(y));
    case gsRadialL: return radial(lowEdge(x), centred(y));
    case gsRadialR: return radial(highEdge(x), centred(y));
    case gsRadialTL: return radial(lowEdge(x), lowEdge(y));
    case gsRadialTR: return radial(highEdge(x), lowEdge(y));
    case gsRadialBL: return radial(lowEdge(x), highEdge(y));
    case gsRadialBR: return radial(highEdge(x), highEdge(y));
    case gsLinearH: return x;
    case gsLinearV: return y;
    case gsReflectedH: return int(fromMiddle(y, 255.5));
    case gsReflectedV: return int(fromMiddle(x, 255.5));
    case gsDiagonalLF: return x + y;
    case gsDiagonalLB: return (127 - x) + y;
    case gsDiagonalRF: return std::abs(x + y - 255);
    case gsDiagonalRB: return std::abs(x - y);
    // Chevrons: distance from the tip's edge plus distance from the middle line.
    case gsArrowL: return int((128 - x) + fromMiddle(y));
    case gsArrowR: return int(x + fromMiddle(y));
    case gsArrowU: return int((128 - y) + fromMiddle(x));
    case gsArrowD: return int(y + fromMiddle(x));
    case gsDiamond: return int(std::abs(x - 127.5) + std::abs(y - 127.5));
    case gsButterfly: {
        const int bowTie = int(128 + std::abs(y - 127.5) - std::abs(x - 127.5));
        return x <= 127 && y >= 128 ? bowTie - 1 : bowTie;
    }
    case gsRadialRect: return std::min({x, 511 - x, y, 511 - y});
    case gsCustom: break;
    }
    return -1;
}

const QMetaEnum styleNames = QMetaEnum::fromType<TGradientStyle>();

QImage build(TGradientStyle style, QImage pattern = {})
{
    PatternBuilders[style](distinctTable(), pattern);
    return pattern;
}

} // namespace

class TestPatterns : public QObject
{
    Q_OBJECT

private slots:
    void customHasNoBuilder();
    void everyStyle_data();
    void sizeAndFormat();
    void sizeAndFormat_data() { everyStyle_data(); }
    void everyPixel();
    void everyPixel_data() { everyStyle_data(); }
    void writesOverAPreviousPattern();
    void writesOverAPreviousPattern_data() { everyStyle_data(); }
    void landmark_data();
    void landmark();
    void diamondNeverShowsEntryZero();
    void radialRectOuterRingIsEntryZero();
    void diagonalRBMainDiagonalIsEntryZero();
};

void TestPatterns::customHasNoBuilder()
{
    QVERIFY(PatternBuilders[gsCustom] == nullptr);
    for (int style = gsRadialC; style <= gsRadialRect; ++style)
        QVERIFY2(PatternBuilders[style] != nullptr, styleNames.valueToKey(style));
}

void TestPatterns::everyStyle_data()
{
    QTest::addColumn<TGradientStyle>("style");
    for (int style = gsRadialC; style <= gsRadialRect; ++style)
        QTest::newRow(styleNames.valueToKey(style)) << TGradientStyle(style);
}

void TestPatterns::sizeAndFormat()
{
    QFETCH(TGradientStyle, style);
    const QImage pattern = build(style);
    QCOMPARE(pattern.size(), expectedSize(style));
    QCOMPARE(pattern.format(), QImage::Format_RGB32);
}

void TestPatterns::everyPixel()
{
    QFETCH(TGradientStyle, style);
    const QImage pattern = build(style);
    QCOMPARE(pattern.size(), expectedSize(style));
    for (int y = 0; y < pattern.height(); ++y) {
        for (int x = 0; x < pattern.width(); ++x) {
            const int expected = expectedIndex(style, x, y);
            QVERIFY2(expected >= 0 && expected <= 255, qPrintable(QStringLiteral("formula out of range")));
            if (pattern.pixel(x, y) != entryColour(expected)) {
                QFAIL(qPrintable(QStringLiteral("(%1, %2): red %3, expected entry %4")
                                     .arg(x).arg(y).arg(qRed(pattern.pixel(x, y))).arg(expected)));
            }
        }
    }
}

// A pattern of the right size filled with a colour no entry has, and one of another
// size: nothing of either survives a build.
void TestPatterns::writesOverAPreviousPattern()
{
    QFETCH(TGradientStyle, style);
    QImage sameSize(expectedSize(style), QImage::Format_RGB32);
    sameSize.fill(untouched);
    QImage otherSize(7, 3, QImage::Format_ARGB32);
    otherSize.fill(untouched);

    for (QImage previous : {sameSize, otherSize}) {
        const QImage pattern = build(style, previous);
        QCOMPARE(pattern.size(), expectedSize(style));
        QCOMPARE(pattern.format(), QImage::Format_RGB32);
        for (int y = 0; y < pattern.height(); ++y)
            for (int x = 0; x < pattern.width(); ++x)
                QVERIFY(pattern.pixel(x, y) != untouched);
    }
}

void TestPatterns::landmark_data()
{
    QTest::addColumn<TGradientStyle>("style");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<int>("index");

    const struct { TGradientStyle style; int x, y, index; } points[] = {
        {gsRadialC, 180, 180, 0}, {gsRadialC, 181, 180, 0}, {gsRadialC, 180, 181, 0},
        {gsRadialC, 181, 181, 0}, {gsRadialC, 0, 0, 255}, {gsRadialC, 0, 180, 180},
        {gsRadialC, 361, 361, 255},
        {gsRadialT, 180, 0, 0}, {gsRadialT, 181, 0, 0}, {gsRadialT, 0, 180, 255},
        {gsRadialB, 180, 180, 0}, {gsRadialB, 181, 180, 0}, {gsRadialB, 0, 0, 255},
        {gsRadialL, 0, 180, 0}, {gsRadialL, 0, 181, 0}, {gsRadialL, 180, 0, 255},
        {gsRadialR, 180, 180, 0}, {gsRadialR, 180, 181, 0}, {gsRadialR, 0, 361, 255},
        {gsRadialTL, 0, 0, 0}, {gsRadialTL, 180, 0, 180}, {gsRadialTL, 180, 180, 255},
        {gsRadialTR, 180, 0, 0}, {gsRadialTR, 0, 180, 255},
        {gsRadialBL, 0, 180, 0}, {gsRadialBL, 180, 0, 255},
        {gsRadialBR, 180, 180, 0}, {gsRadialBR, 0, 0, 255},
        {gsLinearH, 0, 0, 0}, {gsLinearH, 255, 0, 255},
        {gsLinearV, 0, 0, 0}, {gsLinearV, 0, 255, 255},
        {gsReflectedH, 0, 0, 255}, {gsReflectedH, 0, 255, 0}, {gsReflectedH, 0, 256, 0},
        {gsReflectedH, 0, 511, 255},
        {gsReflectedV, 0, 0, 255}, {gsReflectedV, 255, 0, 0}, {gsReflectedV, 256, 0, 0},
        {gsReflectedV, 511, 0, 255},
        {gsDiagonalLF, 0, 0, 0}, {gsDiagonalLF, 127, 128, 255},
        {gsDiagonalLB, 127, 0, 0}, {gsDiagonalLB, 0, 128, 255},
        {gsDiagonalRF, 0, 255, 0}, {gsDiagonalRF, 255, 0, 0}, {gsDiagonalRF, 0, 0, 255},
        {gsDiagonalRF, 255, 255, 255},
        {gsDiagonalRB, 255, 0, 255}, {gsDiagonalRB, 0, 255, 255},
        {gsArrowL, 128, 127, 0}, {gsArrowL, 128, 128, 0}, {gsArrowL, 0, 0, 255}, {gsArrowL, 0, 255, 255},
        {gsArrowR, 0, 127, 0}, {gsArrowR, 0, 128, 0}, {gsArrowR, 128, 0, 255}, {gsArrowR, 128, 255, 255},
        {gsArrowU, 127, 128, 0}, {gsArrowU, 128, 128, 0}, {gsArrowU, 0, 0, 255}, {gsArrowU, 255, 0, 255},
        {gsArrowD, 127, 0, 0}, {gsArrowD, 128, 0, 0}, {gsArrowD, 0, 128, 255}, {gsArrowD, 255, 128, 255},
        {gsDiamond, 127, 127, 1}, {gsDiamond, 128, 127, 1}, {gsDiamond, 127, 128, 1},
        {gsDiamond, 128, 128, 1}, {gsDiamond, 0, 0, 255}, {gsDiamond, 255, 255, 255},
        {gsButterfly, 127, 0, 255}, {gsButterfly, 128, 0, 255}, {gsButterfly, 128, 255, 255},
        {gsButterfly, 0, 128, 0}, {gsButterfly, 0, 127, 1}, {gsButterfly, 127, 255, 254},
        {gsButterfly, 0, 0, 128}, {gsButterfly, 255, 255, 128},
        {gsRadialRect, 255, 255, 255}, {gsRadialRect, 256, 255, 255}, {gsRadialRect, 255, 256, 255},
        {gsRadialRect, 256, 256, 255}, {gsRadialRect, 10, 300, 10},
    };
    for (const auto &p : points) {
        const QString name = QStringLiteral("%1 (%2, %3)").arg(styleNames.valueToKey(p.style)).arg(p.x).arg(p.y);
        QTest::newRow(qPrintable(name)) << p.style << QPoint(p.x, p.y) << p.index;
    }
}

void TestPatterns::landmark()
{
    QFETCH(TGradientStyle, style);
    QFETCH(QPoint, pixel);
    QFETCH(int, index);
    const QImage pattern = build(style);
    QCOMPARE(qRed(pattern.pixel(pixel)), index);
    QCOMPARE(pattern.pixel(pixel), entryColour(index));
}

void TestPatterns::diamondNeverShowsEntryZero()
{
    const QImage pattern = build(gsDiamond);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            QVERIFY(qRed(pattern.pixel(x, y)) != 0);
}

void TestPatterns::radialRectOuterRingIsEntryZero()
{
    const QImage pattern = build(gsRadialRect);
    for (int i = 0; i < 512; ++i) {
        QCOMPARE(qRed(pattern.pixel(i, 0)), 0);
        QCOMPARE(qRed(pattern.pixel(i, 511)), 0);
        QCOMPARE(qRed(pattern.pixel(0, i)), 0);
        QCOMPARE(qRed(pattern.pixel(511, i)), 0);
    }
}

void TestPatterns::diagonalRBMainDiagonalIsEntryZero()
{
    const QImage pattern = build(gsDiagonalRB);
    for (int i = 0; i < 256; ++i)
        QCOMPARE(qRed(pattern.pixel(i, i)), 0);
}

QTEST_APPLESS_MAIN(TestPatterns)
#include "tst_patterns.moc"
