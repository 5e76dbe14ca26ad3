// TGradient: the colour table and pattern are rebuilt only when a colour property
// changes; painting stretches the cached pattern and never computes a colour.
#include "gradient/Gradient.h"

#include "gradient/GradientPatterns.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

// x * y / z rounded to the nearest integer, halves away from zero.
int mulDiv(int x, int y, int z)
{
    const qint64 product = qint64(x) * y;
    const qint64 divisor = qAbs(qint64(z));
    const qint64 magnitude = (2 * qAbs(product) + divisor) / (2 * divisor);
    return int((product < 0) != (z < 0) ? -magnitude : magnitude);
}

// One channel of entry i of the ramp from a to b (d = b - a) turned by `turn` steps.
// Quotients truncate towards zero, so the ramp meets its ends exactly.
int rampValue(int i, int a, int b, int d, int turn)
{
    if (turn == 0)
        return a + i * d / 255;
    if (turn > 0) {
        // Climbs to b at entry 255 - turn and falls back to a at entry 255.
        const int peak = 255 - turn;
        return i < peak ? a + i * d / peak : a + (255 - i) * d / turn;
    }
    // Starts at b, reaches a at entry -turn and returns to b at entry 255.
    const int low = -turn;
    return i <= low ? b - i * d / low : b - (255 - i) * d / (255 - low);
}

enum class FigureKind { Rectangle, RoundRect, Ellipse };

FigureKind figureKind(TShapeType shape)
{
    switch (shape) {
    case stRoundRect:
    case stRoundSquare:
        return FigureKind::RoundRect;
    case stEllipse:
    case stCircle:
        return FigureKind::Ellipse;
    default:
        return FigureKind::Rectangle;
    }
}

QPainterPath figurePath(TShapeType shape, const QRectF &bounds, int cornerSize)
{
    QPainterPath path;
    switch (figureKind(shape)) {
    case FigureKind::RoundRect:
        path.addRoundedRect(bounds, cornerSize / 2.0, cornerSize / 2.0);
        break;
    case FigureKind::Ellipse:
        path.addEllipse(bounds);
        break;
    case FigureKind::Rectangle:
        path.addRect(bounds);
        break;
    }
    return path;
}

} // namespace

TGradient::TGradient(QWidget *parent)
    : QWidget(parent)
{
    resize(100, 100);
    setAttribute(Qt::WA_OpaquePaintEvent);
    UpdatePattern();
}

void TGradient::SetBorderColor(TColor value)
{
    if (value == m_borderColor)
        return;
    m_borderColor = value;
    update();
}

void TGradient::SetBorderWidth(int value)
{
    value = std::max(value, 0);
    if (value == m_borderWidth)
        return;
    m_borderWidth = value;
    update();
}

void TGradient::SetColorBegin(TColor value)
{
    if (value == m_colorBegin)
        return;
    m_colorBegin = value;
    m_useSysColors = false;
    UpdatePattern();
}

void TGradient::SetColorEnd(TColor value)
{
    if (value == m_colorEnd)
        return;
    m_colorEnd = value;
    m_useSysColors = false;
    UpdatePattern();
}

void TGradient::SetReverse(bool value)
{
    if (value == m_reverse)
        return;
    m_reverse = value;
    UpdatePattern();
}

void TGradient::SetRotation(int value)
{
    const auto clamped = TGradientRotation(std::clamp(value, -100, 100));
    if (clamped == m_rotation)
        return;
    m_rotation = clamped;
    UpdatePattern();
}

void TGradient::SetShape(TShapeType value)
{
    if (value == m_shape || value > stCircle)
        return;
    m_shape = value;
    // Outside a non-rectangular figure the parent's background has to show through.
    setAttribute(Qt::WA_OpaquePaintEvent, value == stRectangle);
    update();
}

void TGradient::SetShift(int value)
{
    const auto clamped = TGradientShift(std::clamp(value, -100, 100));
    if (clamped == m_shift)
        return;
    m_shift = clamped;
    UpdatePattern();
}

void TGradient::SetStyle(TGradientStyle value)
{
    if (value == m_style || value >= GradientStyleCount)
        return;
    m_style = value;
    UpdatePattern();
}

void TGradient::SetUseSysColors(bool value)
{
    if (value == m_useSysColors)
        return;
    m_useSysColors = value;
    if (value)
        UpdateSysColors();
}

bool TGradient::IsColorBeginStored() const
{
    return !m_useSysColors && m_colorBegin != clWhite;
}

bool TGradient::IsColorEndStored() const
{
    return !m_useSysColors && m_colorEnd != clBtnFace;
}

void TGradient::BeginUpdate()
{
    ++m_updateCount;
}

void TGradient::EndUpdate()
{
    --m_updateCount;
    if (m_updateCount == 0 && !m_patternValid)
        UpdatePattern();
}

void TGradient::UpdatePattern()
{
    m_patternValid = false;
    if (m_updateCount != 0)
        return;
    const TColor first = ColorToRGB(m_reverse ? m_colorEnd : m_colorBegin);
    const TColor second = ColorToRGB(m_reverse ? m_colorBegin : m_colorEnd);
    m_colors = BuildColorTable(first, second, m_shift, m_rotation);
    renderPattern(first, second);
    m_patternValid = true;
    emit patternRebuilt();
    update();
}

void TGradient::renderPattern(TColor first, TColor second)
{
    if (m_style != gsCustom) {
        PatternBuilders[m_style](m_colors, m_pattern);
    } else if (OnCustom) {
        OnCustom(this, m_colors, m_pattern);
    } else {
        // Four quarters of the unshifted end colours show that no handler draws.
        if (m_pattern.size() != QSize(2, 2) || m_pattern.format() != QImage::Format_RGB32)
            m_pattern = QImage(2, 2, QImage::Format_RGB32);
        m_pattern.setPixel(0, 0, ColorToQRgb(first));
        m_pattern.setPixel(0, 1, ColorToQRgb(second));
        m_pattern.setPixel(1, 0, ColorToQRgb(second));
        m_pattern.setPixel(1, 1, ColorToQRgb(first));
    }
}

void TGradient::UpdateSysColors()
{
    BeginUpdate();
    try {
        SetColorBegin(SystemColor(COLOR_ACTIVECAPTION));
        try {
            SetColorEnd(SystemColor(COLOR_GRADIENTACTIVECAPTION));
            // Set last and directly: the colour setters above clear it.
            m_useSysColors = true;
        } catch (...) {
            // A system without the caption gradient colour gets a one-colour pair.
            SetColorEnd(m_colorBegin);
            m_useSysColors = false;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TGradientColors TGradient::BuildColorTable(TColor first, TColor second, int shift, int rotation)
{
    TGradientColors colors;
    colors.fill(0xFF000000);
    const int turn = mulDiv(255, rotation, 100);
    // TColor keeps red in its low byte, QRgb in its third.
    struct Channel { int colorShift; int rgbShift; };
    for (const Channel channel : {Channel{0, 16}, Channel{8, 8}, Channel{16, 0}}) {
        int a = (first >> channel.colorShift) & 0xFF;
        int b = (second >> channel.colorShift) & 0xFF;
        if (shift > 0)
            a += mulDiv(b - a, shift, 100);
        else if (shift < 0)
            b += mulDiv(b - a, shift, 100);
        const int d = b - a;
        for (int i = 0; i < 256; ++i)
            colors[i] |= QRgb(rampValue(i, a, b, d, turn) & 0xFF) << channel.rgbShift;
    }
    return colors;
}

TGradientFigure TGradient::FigureRect(TShapeType shape, int borderWidth, QSize size)
{
    // Half the pen lies outside the outline, so the outline is moved in by half the
    // border; the extra pixel makes the border's outer edge meet the widget's edge.
    const int edge = borderWidth > 0 ? 1 : 0;
    int left = borderWidth / 2;
    int top = borderWidth / 2;
    int width = size.width() - borderWidth + edge;
    int height = size.height() - borderWidth + edge;
    const int side = std::min(width, height);
    if (shape == stSquare || shape == stRoundSquare || shape == stCircle) {
        left += (width - side) / 2;
        top += (height - side) / 2;
        width = side;
        height = side;
    }
    return {QRect(left, top, width, height), side / 4};
}

void TGradient::paintEvent(QPaintEvent *)
{
    if (!m_patternValid)
        return;
    const TGradientFigure figure = FigureRect(m_shape, m_borderWidth, size());
    // A border as wide as the widget leaves no figure to fill or frame.
    if (figure.bounds.isEmpty())
        return;
    QPainter painter(this);
    const bool clipped = figureKind(m_shape) != FigureKind::Rectangle;
    if (clipped)
        painter.setClipPath(figurePath(m_shape, QRectF(figure.bounds), figure.cornerSize));
    // Smooth transformation is off: the stretch replicates or drops pixels.
    painter.drawImage(figure.bounds, m_pattern);
    if (m_borderWidth > 0) {
        painter.setClipping(false);
        drawOutline(painter, figure);
    }
}

void TGradient::drawOutline(QPainter &painter, const TGradientFigure &figure) const
{
    // A mitred pen fills the corners of a rectangular frame completely.
    painter.setPen(QPen(QColor::fromRgb(ColorToQRgb(m_borderColor)), m_borderWidth,
                        Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    // The outline runs through the last column and row of the figure, where the
    // classic toolkit's figures end, so an aliased pen of the border's width covers
    // exactly the widget's outermost pixels.
    const QRect &b = figure.bounds;
    const QRectF outline(b.left(), b.top(), b.width() - 1, b.height() - 1);
    painter.drawPath(figurePath(m_shape, outline, figure.cornerSize));
}

void TGradient::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    const QEvent::Type type = event->type();
    const bool settingsChanged = type == QEvent::PaletteChange
        || type == QEvent::ApplicationPaletteChange || type == QEvent::StyleChange;
    if (!settingsChanged || !m_useSysColors)
        return;
    // Qt must not see an exception leave an event handler.
    try {
        UpdateSysColors();
    } catch (const std::exception &error) {
        qWarning("TGradient: system colours not updated: %s", error.what());
    } catch (...) {
        qWarning("TGradient: system colours not updated");
    }
}

void TGradient::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TGradient::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TGradient::mousePressEvent(QMouseEvent *event)
{
    // Accepting the press makes the release come here rather than to the parent.
    if (event->button() == Qt::LeftButton)
        event->accept();
    else
        QWidget::mousePressEvent(event);
}

void TGradient::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    else
        QWidget::mouseReleaseEvent(event);
}
