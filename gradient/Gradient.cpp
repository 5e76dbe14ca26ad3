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
    if (value == borderColor_)
        return;
    borderColor_ = value;
    update();
}

void TGradient::SetBorderWidth(int value)
{
    value = std::max(value, 0);
    if (value == borderWidth_)
        return;
    borderWidth_ = value;
    update();
}

void TGradient::SetColorBegin(TColor value)
{
    if (value == colorBegin_)
        return;
    colorBegin_ = value;
    useSysColors_ = false;
    UpdatePattern();
}

void TGradient::SetColorEnd(TColor value)
{
    if (value == colorEnd_)
        return;
    colorEnd_ = value;
    useSysColors_ = false;
    UpdatePattern();
}

void TGradient::SetReverse(bool value)
{
    if (value == reverse_)
        return;
    reverse_ = value;
    UpdatePattern();
}

void TGradient::SetRotation(int value)
{
    const auto clamped = TGradientRotation(std::clamp(value, -100, 100));
    if (clamped == rotation_)
        return;
    rotation_ = clamped;
    UpdatePattern();
}

void TGradient::SetShape(TShapeType value)
{
    if (value == shape_ || value > stCircle)
        return;
    shape_ = value;
    // Outside a non-rectangular figure the parent's background has to show through.
    setAttribute(Qt::WA_OpaquePaintEvent, value == stRectangle);
    update();
}

void TGradient::SetShift(int value)
{
    const auto clamped = TGradientShift(std::clamp(value, -100, 100));
    if (clamped == shift_)
        return;
    shift_ = clamped;
    UpdatePattern();
}

void TGradient::SetStyle(TGradientStyle value)
{
    if (value == style_ || value >= GradientStyleCount)
        return;
    style_ = value;
    UpdatePattern();
}

void TGradient::SetUseSysColors(bool value)
{
    if (value == useSysColors_)
        return;
    useSysColors_ = value;
    if (value)
        UpdateSysColors();
}

bool TGradient::IsColorBeginStored() const
{
    return !useSysColors_ && colorBegin_ != clWhite;
}

bool TGradient::IsColorEndStored() const
{
    return !useSysColors_ && colorEnd_ != clBtnFace;
}

void TGradient::BeginUpdate()
{
    ++updateCount_;
}

void TGradient::EndUpdate()
{
    --updateCount_;
    if (updateCount_ == 0 && !patternValid_)
        UpdatePattern();
}

void TGradient::UpdatePattern()
{
    patternValid_ = false;
    if (updateCount_ != 0)
        return;
    const TColor first = ColorToRGB(reverse_ ? colorEnd_ : colorBegin_);
    const TColor second = ColorToRGB(reverse_ ? colorBegin_ : colorEnd_);
    colors_ = BuildColorTable(first, second, shift_, rotation_);
    renderPattern(first, second);
    patternValid_ = true;
    emit patternRebuilt();
    update();
}

void TGradient::renderPattern(TColor first, TColor second)
{
    if (style_ != gsCustom) {
        PatternBuilders[style_](colors_, pattern_);
    } else if (OnCustom) {
        OnCustom(this, colors_, pattern_);
    } else {
        // Four quarters of the unshifted end colours show that no handler draws.
        if (pattern_.size() != QSize(2, 2) || pattern_.format() != QImage::Format_RGB32)
            pattern_ = QImage(2, 2, QImage::Format_RGB32);
        pattern_.setPixel(0, 0, ColorToQRgb(first));
        pattern_.setPixel(0, 1, ColorToQRgb(second));
        pattern_.setPixel(1, 0, ColorToQRgb(second));
        pattern_.setPixel(1, 1, ColorToQRgb(first));
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
            useSysColors_ = true;
        } catch (...) {
            // A system without the caption gradient colour gets a one-colour pair.
            SetColorEnd(colorBegin_);
            useSysColors_ = false;
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
    if (!patternValid_)
        return;
    const TGradientFigure figure = FigureRect(shape_, borderWidth_, size());
    // A border as wide as the widget leaves no figure to fill or frame.
    if (figure.bounds.isEmpty())
        return;
    QPainter painter(this);
    const bool clipped = figureKind(shape_) != FigureKind::Rectangle;
    if (clipped)
        painter.setClipPath(figurePath(shape_, QRectF(figure.bounds), figure.cornerSize));
    // Smooth transformation is off: the stretch replicates or drops pixels.
    painter.drawImage(figure.bounds, pattern_);
    if (borderWidth_ > 0) {
        painter.setClipping(false);
        drawOutline(painter, figure);
    }
}

void TGradient::drawOutline(QPainter &painter, const TGradientFigure &figure) const
{
    // A mitred pen fills the corners of a rectangular frame completely.
    painter.setPen(QPen(QColor::fromRgb(ColorToQRgb(borderColor_)), borderWidth_,
                        Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    // The outline runs through the last column and row of the figure, where the
    // classic toolkit's figures end, so an aliased pen of the border's width covers
    // exactly the widget's outermost pixels.
    const QRect &b = figure.bounds;
    const QRectF outline(b.left(), b.top(), b.width() - 1, b.height() - 1);
    painter.drawPath(figurePath(shape_, outline, figure.cornerSize));
}

void TGradient::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    const QEvent::Type type = event->type();
    const bool settingsChanged = type == QEvent::PaletteChange
        || type == QEvent::ApplicationPaletteChange || type == QEvent::StyleChange;
    if (!settingsChanged || !useSysColors_)
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
