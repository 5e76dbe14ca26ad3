// The pattern builders behind PatternBuilders. Every pattern has a fixed size, so the
// picture never depends on the widget's size; each row is built from runs of the table.
#include "gradient/GradientPatterns.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Direct access to the pattern's rows as 32-bit words, after giving it its size.
class PatternRows
{
public:
    PatternRows(QImage &pattern, int width, int height)
    {
        // Reusing the image when the size stays keeps a rebuild free of allocation.
        if (pattern.width() != width || pattern.height() != height
            || pattern.format() != QImage::Format_RGB32) {
            pattern = QImage(width, height, QImage::Format_RGB32);
            if (pattern.isNull())
                throw std::bad_alloc();
        }
        bits_ = pattern.bits();
        bytesPerLine_ = pattern.bytesPerLine();
    }

    QRgb *operator[](int y) const { return reinterpret_cast<QRgb *>(bits_ + y * bytesPerLine_); }

    // Rows are 32-bit aligned, so the rows of a one-pixel-wide pattern follow each
    // other without a gap and its column is one run of pixels.
    QRgb *column() const
    {
        Q_ASSERT(bytesPerLine_ == sizeof(QRgb));
        return (*this)[0];
    }

private:
    uchar *bits_;
    qsizetype bytesPerLine_;
};

// The table forwards and backwards, so that every run of consecutive entries in a
// row, rising or falling, is one block copy.
class TableRuns
{
public:
    explicit TableRuns(const TGradientColors &colors)
        : up_(colors)
    {
        for (int i = 0; i < 256; ++i)
            down_[i] = colors[255 - i];
    }

    // Writes the entries first, first + 1, ..., first + count - 1; returns the next pixel.
    QRgb *up(QRgb *dst, int first, int count) const
    {
        return std::copy_n(up_.data() + first, count, dst);
    }

    // Writes the entries first, first - 1, ..., first - count + 1; returns the next pixel.
    QRgb *down(QRgb *dst, int first, int count) const
    {
        return std::copy_n(down_.data() + (255 - first), count, dst);
    }

private:
    const TGradientColors &up_;
    TGradientColors down_;
};

constexpr int radialHalf = 181;

// round(sqrt(dx^2 + dy^2)) for dx, dy in 0..180, indexed [dy][dx]: the index of every
// radial pattern. It depends on no input of a build, so it is computed once, from the
// squares of 0..180 with one square root per entry, and every build only looks up
// colours; a square root per pixel and build would cost more than ten fills.
using RadialQuarter = std::array<std::array<quint8, radialHalf>, radialHalf>;

const RadialQuarter &radialQuarter()
{
    static const RadialQuarter quarter = [] {
        std::array<int, radialHalf> squares;
        for (int i = 0; i < radialHalf; ++i)
            squares[i] = i * i;
        RadialQuarter distances;
        // No whole number has a root exactly halfway between two integers, and the
        // largest index is round(sqrt(2 * 180^2)) = 255.
        for (int dy = 0; dy < radialHalf; ++dy)
            for (int dx = 0; dx < radialHalf; ++dx)
                distances[dy][dx] = quint8(std::lround(std::sqrt(double(squares[dx] + squares[dy]))));
        return distances;
    }();
    return quarter;
}

// How one axis of a radial pattern places the centre.
enum class Axis {
    Centred,  // 362 lines, centre between lines 180 and 181
    Low,      // 181 lines, centre on line 0
    High,     // 181 lines, centre on line 180
};

int axisLength(Axis axis)
{
    return axis == Axis::Centred ? 2 * radialHalf : radialHalf;
}

// Builds rows 0..180 from the quarter and mirrors them across a centred y axis; on a
// centred x axis each looked-up colour is written to both halves of the row.
void buildRadial(const TGradientColors &colors, QImage &pattern, Axis xAxis, Axis yAxis)
{
    const int width = axisLength(xAxis);
    const int height = axisLength(yAxis);
    const PatternRows rows(pattern, width, height);
    const RadialQuarter &quarter = radialQuarter();
    constexpr int last = radialHalf - 1;

    for (int y = 0; y < radialHalf; ++y) {
        // A centred axis has its computed half before the centre, like a high edge.
        const auto &distances = quarter[yAxis == Axis::Low ? y : last - y];
        QRgb *row = rows[y];
        switch (xAxis) {
        case Axis::Low:
            for (int d = 0; d < radialHalf; ++d)
                row[d] = colors[distances[d]];
            break;
        case Axis::High:
            for (int d = 0; d < radialHalf; ++d)
                row[last - d] = colors[distances[d]];
            break;
        case Axis::Centred:
            for (int d = 0; d < radialHalf; ++d)
                row[last - d] = row[radialHalf + d] = colors[distances[d]];
            break;
        }
        if (yAxis == Axis::Centred)
            std::copy_n(row, width, rows[height - 1 - y]);
    }
}

void buildRadialC(const TGradientColors &c, QImage &p) { buildRadial(c, p, Axis::Centred, Axis::Centred); }
void buildRadialT(const TGradientColors &c, QImage &p) { buildRadial(c, p, Axis::Centred, Axis::Low); }
void buildRadialB(const TGradientColors &c, QImage &p) { buildRadial(c, p, Axis::Centred, Axis::High); }
void buildRadialL(const TGradientColors &c, QImage &p) { buildRadial(c, p, Axis::Low, Axis::Centred); }
void buildRadialR(const TGradientColors &c, QImage &p) { buildRadial(c, p, Axis::High, Axis::Centred); }
void buildRadialTL(const TGradientColors &c, QImage &p) { buildRadial(c, p, Axis::Low, Axis::Low); }
void buildRadialTR(const TGradientColors &c, QImage &p) { buildRadial(c, p, Axis::High, Axis::Low); }
void buildRadialBL(const TGradientColors &c, QImage &p) { buildRadial(c, p, Axis::Low, Axis::High); }
void buildRadialBR(const TGradientColors &c, QImage &p) { buildRadial(c, p, Axis::High, Axis::High); }

void buildLinearH(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 256, 1);
    std::copy_n(colors.data(), 256, rows[0]);
}

void buildLinearV(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 1, 256);
    std::copy_n(colors.data(), 256, rows.column());
}

// A vertical strip: entry 255 at the top and bottom, entry 0 on the two middle rows.
void buildReflectedH(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 1, 512);
    const TableRuns runs(colors);
    runs.up(runs.down(rows.column(), 255, 256), 0, 256);
}

// A horizontal strip: entry 255 at both ends, entry 0 on the two middle columns.
void buildReflectedV(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 512, 1);
    const TableRuns runs(colors);
    runs.up(runs.down(rows[0], 255, 256), 0, 256);
}

// 128 x 129 so that x + y covers exactly 0..255.
void buildDiagonalLF(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 128, 129);
    const TableRuns runs(colors);
    for (int y = 0; y < 129; ++y)
        runs.up(rows[y], y, 128);
}

void buildDiagonalLB(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 128, 129);
    const TableRuns runs(colors);
    for (int y = 0; y < 129; ++y)
        runs.down(rows[y], y + 127, 128);
}

// Distance from the anti-diagonal x + y = 255.
void buildDiagonalRF(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 256, 256);
    const TableRuns runs(colors);
    for (int y = 0; y < 256; ++y)
        runs.up(runs.down(rows[y], 255 - y, 255 - y), 0, y + 1);
}

// Distance from the main diagonal x = y.
void buildDiagonalRB(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 256, 256);
    const TableRuns runs(colors);
    for (int y = 0; y < 256; ++y)
        runs.up(runs.down(rows[y], y, y + 1), 1, 255 - y);
}

// The arrows are 129 pixels across their short axis so that the index covers 0..255;
// the two halves of the long axis mirror each other.
void buildArrowL(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 129, 256);
    const TableRuns runs(colors);
    for (int y = 0; y < 128; ++y)
        runs.down(rows[y], 255 - y, 129);
    for (int y = 128; y < 256; ++y)
        runs.down(rows[y], y, 129);
}

void buildArrowR(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 129, 256);
    const TableRuns runs(colors);
    for (int y = 0; y < 128; ++y)
        runs.up(rows[y], 127 - y, 129);
    for (int y = 128; y < 256; ++y)
        runs.up(rows[y], y - 128, 129);
}

void buildArrowU(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 256, 129);
    const TableRuns runs(colors);
    for (int y = 0; y < 129; ++y)
        runs.up(runs.down(rows[y], 255 - y, 128), 128 - y, 128);
}

void buildArrowD(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 256, 129);
    const TableRuns runs(colors);
    for (int y = 0; y < 129; ++y)
        runs.up(runs.down(rows[y], y + 127, 128), y, 128);
}

// |x - 127.5| + |y - 127.5|, built quadrant by quadrant.
void buildDiamond(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 256, 256);
    const TableRuns runs(colors);
    for (int y = 0; y < 128; ++y)
        runs.up(runs.down(rows[y], 255 - y, 128), 128 - y, 128);
    for (int y = 128; y < 256; ++y)
        runs.up(runs.down(rows[y], y, 128), y - 127, 128);
}

// 128 + |y - 127.5| - |x - 127.5|, one lower in the bottom-left quadrant.
void buildButterfly(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 256, 256);
    const TableRuns runs(colors);
    for (int y = 0; y < 128; ++y)
        runs.down(runs.up(rows[y], 128 - y, 128), 255 - y, 128);
    for (int y = 128; y < 256; ++y)
        runs.down(runs.up(rows[y], y - 128, 128), y, 128);
}

// Distance to the nearest edge: entry 0 on the outer ring, 255 on the centre block.
void buildRadialRect(const TGradientColors &colors, QImage &pattern)
{
    const PatternRows rows(pattern, 512, 512);
    const TableRuns runs(colors);
    for (int y = 0; y < 256; ++y) {
        QRgb *row = rows[y];
        QRgb *middle = runs.up(row, 0, y);
        QRgb *right = std::fill_n(middle, 512 - 2 * y, colors[y]);
        runs.down(right, y - 1, y);
        std::copy_n(row, 512, rows[511 - y]);
    }
}

} // namespace

const std::array<TPatternBuilder, GradientStyleCount> PatternBuilders = {
    nullptr,  // gsCustom
    buildRadialC, buildRadialT, buildRadialB, buildRadialL, buildRadialR,
    buildRadialTL, buildRadialTR, buildRadialBL, buildRadialBR,
    buildLinearH, buildLinearV, buildReflectedH, buildReflectedV,
    buildDiagonalLF, buildDiagonalLB, buildDiagonalRF, buildDiagonalRB,
    buildArrowL, buildArrowR, buildArrowU, buildArrowD,
    buildDiamond, buildButterfly, buildRadialRect,
};
