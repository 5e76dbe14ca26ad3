// TGradient's painting: the figure rectangle of every shape with and without a border,
// the nearest-neighbour stretch, the clipping to the figure and the border's pixels.
#include "gradient/Gradient.h"

#include <QtTest>

#include <set>

namespace {

const QRgb parentColour = qRgb(0, 255, 0);    // what the parent shows around a figure
const QRgb firstColour = qRgb(255, 0, 0);     // the 2 x 2 custom pattern's top-left quarter
const QRgb secondColour = qRgb(0, 0, 255);    // its top-right quarter
const QRgb borderColour = qRgb(255, 255, 0);

// Four quarters, first colour top-left and bottom-right: easy to follow through a stretch.
void useQuarters(TGradient &gradient)
{
    gradient.BeginUpdate();
    gradient.SetColorBegin(RGBToColor(255, 0, 0));
    gradient.SetColorEnd(RGBToColor(0, 0, 255));
    gradient.SetStyle(gsCustom);
    gradient.SetBorderColor(RGBToColor(255, 255, 0));
    gradient.EndUpdate();
}

// What the widget paints over a parent that shows parentColour.
QImage paint(TGradient &gradient)
{
    QImage canvas(gradient.size(), QImage::Format_RGB32);
    canvas.fill(parentColour);
    gradient.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
    return canvas;
}

QString describe(const QImage &image, const QList<QPoint> &points)
{
    QStringList parts;
    for (const QPoint &p : points)
        parts << QStringLiteral("(%1, %2) = %3").arg(p.x()).arg(p.y()).arg(image.pixel(p), 6, 16, QLatin1Char('0'));
    return parts.join(QStringLiteral("; "));
}

// Every point of `points` shows `colour`.
bool allShow(const QImage &image, const QList<QPoint> &points, QRgb colour)
{
    return std::all_of(points.begin(), points.end(), [&](QPoint p) { return image.pixel(p) == colour; });
}

} // namespace

class TestGradientPainting : public QObject
{
    Q_OBJECT

private slots:
    void figureRect_data();
    void figureRect();
    void quartersStretchWithoutSmoothing();
    void linearOverTwiceItsWidth();
    void linearOverFewerColumns();
    void circleShowsTheParentOutside();
    void ellipseAndRoundRectCorners();
    void rectangleBorder_data();
    void rectangleBorder();
    void circleBorder();
    void borderWiderThanTheWidgetPaintsNothing();
};

void TestGradientPainting::figureRect_data()
{
    QTest::addColumn<TShapeType>("shape");
    QTest::addColumn<int>("border");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("bounds");  // x, y, width, height
    QTest::addColumn<int>("corner");

    QTest::newRow("rectangle, no border") << stRectangle << 0 << QSize(200, 100) << QRect(0, 0, 200, 100) << 25;
    QTest::newRow("rectangle, border 4") << stRectangle << 4 << QSize(100, 60) << QRect(2, 2, 97, 57) << 14;
    QTest::newRow("rectangle, border 1") << stRectangle << 1 << QSize(100, 60) << QRect(0, 0, 100, 60) << 15;
    QTest::newRow("square, no border") << stSquare << 0 << QSize(200, 100) << QRect(50, 0, 100, 100) << 25;
    QTest::newRow("square, border 4") << stSquare << 4 << QSize(100, 60) << QRect(22, 2, 57, 57) << 14;
    QTest::newRow("square, tall") << stSquare << 0 << QSize(60, 100) << QRect(0, 20, 60, 60) << 15;
    QTest::newRow("round rect, no border") << stRoundRect << 0 << QSize(200, 100) << QRect(0, 0, 200, 100) << 25;
    QTest::newRow("round rect, border 4") << stRoundRect << 4 << QSize(100, 60) << QRect(2, 2, 97, 57) << 14;
    QTest::newRow("round square, no border") << stRoundSquare << 0 << QSize(200, 100) << QRect(50, 0, 100, 100) << 25;
    QTest::newRow("round square, border 3") << stRoundSquare << 3 << QSize(200, 100) << QRect(51, 1, 98, 98) << 24;
    QTest::newRow("ellipse, no border") << stEllipse << 0 << QSize(200, 100) << QRect(0, 0, 200, 100) << 25;
    QTest::newRow("ellipse, border 1") << stEllipse << 1 << QSize(100, 60) << QRect(0, 0, 100, 60) << 15;
    QTest::newRow("circle, no border") << stCircle << 0 << QSize(200, 100) << QRect(50, 0, 100, 100) << 25;
    QTest::newRow("circle, odd difference") << stCircle << 0 << QSize(101, 60) << QRect(20, 0, 60, 60) << 15;
    QTest::newRow("circle, border 5") << stCircle << 5 << QSize(100, 60) << QRect(22, 2, 56, 56) << 14;
}

void TestGradientPainting::figureRect()
{
    QFETCH(TShapeType, shape);
    QFETCH(int, border);
    QFETCH(QSize, size);
    QFETCH(QRect, bounds);
    QFETCH(int, corner);

    const TGradientFigure figure = TGradient::FigureRect(shape, border, size);
    QCOMPARE(figure.bounds, bounds);
    QCOMPARE(figure.cornerSize, corner);
}

void TestGradientPainting::quartersStretchWithoutSmoothing()
{
    TGradient gradient;
    useQuarters(gradient);
    gradient.resize(100, 60);
    const QImage image = paint(gradient);
    // Nearest neighbour: the quarters meet between columns 49 and 50, rows 29 and 30.
    QVERIFY(allShow(image, {{0, 0}, {49, 29}, {50, 30}, {99, 59}}, firstColour));
    QVERIFY(allShow(image, {{50, 0}, {99, 29}, {0, 30}, {49, 59}}, secondColour));
}

void TestGradientPainting::linearOverTwiceItsWidth()
{
    TGradient gradient;
    gradient.SetColorBegin(RGBToColor(255, 0, 0));
    gradient.SetColorEnd(RGBToColor(0, 0, 255));
    gradient.SetStyle(gsLinearH);
    gradient.resize(512, 3);
    const QImage image = paint(gradient);
    for (int entry = 0; entry < 256; ++entry) {
        QCOMPARE(image.pixel(2 * entry, 1), gradient.ColorTable()[entry]);
        QCOMPARE(image.pixel(2 * entry + 1, 1), gradient.ColorTable()[entry]);
    }
}

void TestGradientPainting::linearOverFewerColumns()
{
    TGradient gradient;
    gradient.SetColorBegin(RGBToColor(255, 0, 0));
    gradient.SetColorEnd(RGBToColor(0, 0, 255));
    gradient.SetStyle(gsLinearH);
    gradient.resize(100, 2);
    const QImage image = paint(gradient);
    const TGradientColors &table = gradient.ColorTable();
    std::set<QRgb> shown;
    for (int x = 0; x < 100; ++x) {
        QVERIFY(std::find(table.begin(), table.end(), image.pixel(x, 0)) != table.end());
        shown.insert(image.pixel(x, 0));
    }
    QCOMPARE(int(shown.size()), 100);
}

void TestGradientPainting::circleShowsTheParentOutside()
{
    TGradient gradient;
    useQuarters(gradient);
    gradient.SetShape(stCircle);
    gradient.resize(200, 100);
    const QImage image = paint(gradient);
    // The pattern is stretched into (50, 0)-(150, 100) and clipped to its circle.
    QVERIFY2(allShow(image, {{60, 45}, {140, 55}, {100, 50}}, firstColour),
             qPrintable(describe(image, {{60, 45}, {140, 55}, {100, 50}})));
    QVERIFY(allShow(image, {{140, 45}, {60, 55}, {52, 51}, {147, 49}}, secondColour));
    QVERIFY(allShow(image, {{0, 0}, {10, 50}, {49, 50}, {150, 50}, {199, 99}, {51, 2}, {148, 97}},
                    parentColour));
}

void TestGradientPainting::ellipseAndRoundRectCorners()
{
    TGradient gradient;
    useQuarters(gradient);
    gradient.resize(200, 100);

    gradient.SetShape(stEllipse);
    QImage image = paint(gradient);
    QVERIFY(allShow(image, {{0, 0}, {199, 0}, {0, 99}, {199, 99}, {20, 10}}, parentColour));
    QVERIFY(allShow(image, {{2, 49}, {99, 1}}, firstColour));

    // Corner ellipse of 100 div 4 = 25 pixels.
    gradient.SetShape(stRoundRect);
    image = paint(gradient);
    QVERIFY(allShow(image, {{0, 0}, {1, 1}, {198, 98}}, parentColour));
    QVERIFY(allShow(image, {{8, 8}, {20, 0}, {0, 20}}, firstColour));
}

void TestGradientPainting::rectangleBorder_data()
{
    QTest::addColumn<int>("border");
    QTest::addColumn<QList<QPoint>>("onBorder");
    QTest::addColumn<QList<QPoint>>("inside");

    // The outline of (2, 2)-(99, 59) with a 4-pixel pen covers the outer 4 pixels.
    QTest::newRow("border 4") << 4
        << QList<QPoint>{{0, 0}, {3, 3}, {99, 59}, {96, 56}, {50, 0}, {50, 3}, {0, 30}, {3, 30},
                         {99, 0}, {96, 3}, {0, 59}, {99, 30}, {96, 30}, {50, 59}, {50, 56}}
        << QList<QPoint>{{4, 4}, {95, 55}, {50, 4}, {4, 30}, {95, 30}, {50, 55}};
    QTest::newRow("border 3") << 3
        << QList<QPoint>{{0, 0}, {2, 2}, {99, 59}, {97, 57}, {50, 0}, {0, 30}, {99, 30}, {50, 59}}
        << QList<QPoint>{{3, 3}, {96, 56}, {50, 3}, {96, 30}};
    QTest::newRow("border 1") << 1
        << QList<QPoint>{{0, 0}, {99, 59}, {50, 0}, {0, 30}, {99, 30}, {50, 59}}
        << QList<QPoint>{{1, 1}, {98, 58}};
}

void TestGradientPainting::rectangleBorder()
{
    QFETCH(int, border);
    QFETCH(QList<QPoint>, onBorder);
    QFETCH(QList<QPoint>, inside);

    TGradient gradient;
    useQuarters(gradient);
    gradient.SetBorderWidth(border);
    gradient.resize(100, 60);
    const QImage image = paint(gradient);
    QVERIFY2(allShow(image, onBorder, borderColour), qPrintable(describe(image, onBorder)));
    for (const QPoint &p : inside) {
        const QRgb pixel = image.pixel(p);
        QVERIFY2(pixel == firstColour || pixel == secondColour, qPrintable(describe(image, {p})));
    }
}

void TestGradientPainting::circleBorder()
{
    TGradient gradient;
    useQuarters(gradient);
    gradient.SetShape(stCircle);
    gradient.SetBorderWidth(4);
    gradient.resize(100, 60);
    // Figure (22, 2, 57, 57); the outline circle of radius 28 around (50, 30)
    // covers the ring from 26 to 30 pixels out.
    const QImage image = paint(gradient);
    const QList<QPoint> ring{{50, 0}, {50, 59}, {20, 30}, {79, 30}};
    QVERIFY2(allShow(image, ring, borderColour), qPrintable(describe(image, ring)));
    QVERIFY(allShow(image, {{0, 0}, {15, 30}, {85, 30}, {99, 59}}, parentColour));
    QVERIFY(allShow(image, {{40, 20}, {60, 40}}, firstColour));
}

void TestGradientPainting::borderWiderThanTheWidgetPaintsNothing()
{
    TGradient gradient;
    useQuarters(gradient);
    gradient.resize(10, 10);
    gradient.SetBorderWidth(2147483647);
    const QImage image = paint(gradient);
    QVERIFY(allShow(image, {{0, 0}, {5, 5}, {9, 9}}, parentColour));
}

QTEST_MAIN(TestGradientPainting)
#include "tst_gradientpainting.moc"
