// The 256-entry colour table: hand-worked entries for plain ramps, shifts and
// rotations, and the whole-table properties of the extreme shift values.
#include "gradient/Gradient.h"

#include <QtTest>

namespace {

// Entry 0 and entry 255 of the plain ramp used by most rows: every channel differs,
// one falls, so a swapped channel or a floor instead of truncation shows.
constexpr TColor p = RGBToColor(10, 200, 0);
constexpr TColor q = RGBToColor(250, 100, 30);
constexpr TColor black = RGBToColor(0, 0, 0);
constexpr TColor white = RGBToColor(255, 255, 255);

QString channels(QRgb entry)
{
    return QStringLiteral("(%1, %2, %3)").arg(qRed(entry)).arg(qGreen(entry)).arg(qBlue(entry));
}

QString channels(TColor color)
{
    return channels(qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
}

} // namespace

class TestColorTable : public QObject
{
    Q_OBJECT

private slots:
    void entry_data();
    void entry();
    void fullShiftGivesOneColour_data();
    void fullShiftGivesOneColour();
    void fullRotationReversesTheRamp_data();
    void fullRotationReversesTheRamp();
    void reservedByteIsOpaque();
};

void TestColorTable::entry_data()
{
    QTest::addColumn<TColor>("first");
    QTest::addColumn<TColor>("second");
    QTest::addColumn<int>("shift");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");

    QTest::newRow("white to black, entry 0") << white << black << 0 << 0 << 0 << "(255, 255, 255)";
    QTest::newRow("white to black, entry 128") << white << black << 0 << 0 << 128 << "(127, 127, 127)";
    QTest::newRow("white to black, entry 255") << white << black << 0 << 0 << 255 << "(0, 0, 0)";
    QTest::newRow("falling ramp truncates towards zero")
        << RGBToColor(100, 100, 100) << black << 0 << 0 << 3 << "(99, 99, 99)";
    QTest::newRow("rising ramp truncates towards zero")
        << black << RGBToColor(100, 100, 100) << 0 << 0 << 3 << "(1, 1, 1)";
    QTest::newRow("channels apart, entry 0") << p << q << 0 << 0 << 0 << "(10, 200, 0)";
    QTest::newRow("channels apart, entry 128") << p << q << 0 << 0 << 128 << "(130, 150, 15)";
    QTest::newRow("channels apart, entry 255") << p << q << 0 << 0 << 255 << "(250, 100, 30)";

    // MulDiv(255, 50, 100) = 127.5 rounds to 128, away from zero in both directions.
    QTest::newRow("shift 50 moves the first colour, half up")
        << black << white << 50 << 0 << 0 << "(128, 128, 128)";
    QTest::newRow("shift 50 keeps the second colour") << black << white << 50 << 0 << 255 << "(255, 255, 255)";
    QTest::newRow("shift 50 on a falling ramp") << white << black << 50 << 0 << 0 << "(127, 127, 127)";
    QTest::newRow("shift -50 moves the second colour, half away from zero")
        << black << white << -50 << 0 << 255 << "(127, 127, 127)";
    QTest::newRow("shift -50 keeps the first colour") << black << white << -50 << 0 << 0 << "(0, 0, 0)";
    QTest::newRow("shift 25 of ten steps rounds 2.5 to 3")
        << black << RGBToColor(10, 10, 10) << 25 << 0 << 0 << "(3, 3, 3)";
    QTest::newRow("shift -25 of ten steps rounds -2.5 to -3")
        << black << RGBToColor(10, 10, 10) << -25 << 0 << 255 << "(7, 7, 7)";

    // Rotation 50: R = 128, the second colour at entry 127.
    QTest::newRow("rotation 50, entry 0 is the first colour") << p << q << 0 << 50 << 0 << "(10, 200, 0)";
    QTest::newRow("rotation 50, entry 50 on the climb") << p << q << 0 << 50 << 50 << "(104, 161, 11)";
    QTest::newRow("rotation 50, entry 127 is the second colour") << p << q << 0 << 50 << 127 << "(250, 100, 30)";
    QTest::newRow("rotation 50, entry 200 on the fall") << p << q << 0 << 50 << 200 << "(113, 158, 12)";
    QTest::newRow("rotation 50, entry 255 is the first colour") << p << q << 0 << 50 << 255 << "(10, 200, 0)";

    // Rotation -50: R = -128, the first colour at entry 128.
    QTest::newRow("rotation -50, entry 0 is the second colour") << p << q << 0 << -50 << 0 << "(250, 100, 30)";
    QTest::newRow("rotation -50, entry 64 on the descent") << p << q << 0 << -50 << 64 << "(130, 150, 15)";
    QTest::newRow("rotation -50, entry 128 is the first colour") << p << q << 0 << -50 << 128 << "(10, 200, 0)";
    QTest::newRow("rotation -50, entry 200 on the return") << p << q << 0 << -50 << 200 << "(147, 143, 18)";
    QTest::newRow("rotation -50, entry 255 is the second colour") << p << q << 0 << -50 << 255 << "(250, 100, 30)";

    // Rotation 1 and -1: R = 2.55 rounded to 3 and -3.
    QTest::newRow("rotation 1, entry 251 on the climb") << p << q << 0 << 1 << 251 << "(249, 101, 29)";
    QTest::newRow("rotation 1, entry 252 is the second colour") << p << q << 0 << 1 << 252 << "(250, 100, 30)";
    QTest::newRow("rotation 1, entry 254 on the fall") << p << q << 0 << 1 << 254 << "(90, 167, 10)";
    QTest::newRow("rotation -1, entry 1 on the descent") << p << q << 0 << -1 << 1 << "(170, 133, 20)";
    QTest::newRow("rotation -1, entry 3 is the first colour") << p << q << 0 << -1 << 3 << "(10, 200, 0)";

    QTest::newRow("shift and rotation together")
        << black << white << 50 << -50 << 0 << "(255, 255, 255)";
}

void TestColorTable::entry()
{
    QFETCH(TColor, first);
    QFETCH(TColor, second);
    QFETCH(int, shift);
    QFETCH(int, rotation);
    QFETCH(int, index);
    QFETCH(QString, expected);

    const TGradientColors table = TGradient::BuildColorTable(first, second, shift, rotation);
    QCOMPARE(channels(table[index]), expected);
}

void TestColorTable::fullShiftGivesOneColour_data()
{
    QTest::addColumn<int>("shift");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<TColor>("expected");

    QTest::newRow("shift 100: the second colour") << 100 << 0 << q;
    QTest::newRow("shift 100 with rotation 50") << 100 << 50 << q;
    QTest::newRow("shift 100 with rotation -100") << 100 << -100 << q;
    QTest::newRow("shift -100: the first colour") << -100 << 0 << p;
    QTest::newRow("shift -100 with rotation 75") << -100 << 75 << p;
}

void TestColorTable::fullShiftGivesOneColour()
{
    QFETCH(int, shift);
    QFETCH(int, rotation);
    QFETCH(TColor, expected);

    const TGradientColors table = TGradient::BuildColorTable(p, q, shift, rotation);
    for (int i = 0; i < 256; ++i)
        QCOMPARE(channels(table[i]), channels(expected));
}

void TestColorTable::fullRotationReversesTheRamp_data()
{
    QTest::addColumn<int>("rotation");
    QTest::newRow("rotation 100") << 100;
    QTest::newRow("rotation -100") << -100;
}

void TestColorTable::fullRotationReversesTheRamp()
{
    QFETCH(int, rotation);

    const TGradientColors table = TGradient::BuildColorTable(p, q, 0, rotation);
    QCOMPARE(channels(table[0]), channels(q));
    QCOMPARE(channels(table[255]), channels(p));
    // The red channel of p to q rises, so the reversed ramp never rises.
    for (int i = 1; i < 256; ++i)
        QVERIFY2(qRed(table[i]) <= qRed(table[i - 1]), qPrintable(QString::number(i)));
}

void TestColorTable::reservedByteIsOpaque()
{
    // QImage's RGB32 wants 0xFF in the byte the table leaves without meaning.
    for (int rotation : {-100, -37, 0, 50, 100}) {
        const TGradientColors table = TGradient::BuildColorTable(p, q, 20, rotation);
        for (QRgb entry : table)
            QCOMPARE(qAlpha(entry), 255);
    }
}

QTEST_APPLESS_MAIN(TestColorTable)
#include "tst_colortable.moc"
