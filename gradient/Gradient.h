// TGradient: a widget without a native window that fills its rectangle with a
// two-colour gradient, stretched from a cached pattern and clipped to a figure.
#pragma once

#include "gradient/GradientTypes.h"
#include "gradient/SystemColors.h"

#include <QImage>
#include <QWidget>

#include <functional>

class TGradient;

// Renders the gsCustom pattern: sizes and fills `pattern` from the colour table.
using TCustomGradientEvent =
    std::function<void(TGradient *sender, const TGradientColors &colors, QImage &pattern)>;
using TGradientNotifyEvent = std::function<void(TGradient *sender)>;

// Where painting stretches the pattern and draws the outline, in widget coordinates.
struct TGradientFigure
{
    QRect bounds;    // Left, Top, w, h
    int cornerSize;  // width and height of a rounded corner's ellipse
};

class TGradient : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    // Qt 6 takes only a constant for STORED: a saver asks IsColorBeginStored and
    // IsColorEndStored for the two colours.
    Q_PROPERTY(TColor ColorBegin READ ColorBegin WRITE SetColorBegin)
    Q_PROPERTY(TColor ColorEnd READ ColorEnd WRITE SetColorEnd)
    Q_PROPERTY(bool Reverse READ Reverse WRITE SetReverse)
    Q_PROPERTY(int Rotation READ Rotation WRITE SetRotation)
    Q_PROPERTY(GradientTypes::TShapeType Shape READ Shape WRITE SetShape)
    Q_PROPERTY(int Shift READ Shift WRITE SetShift)
    Q_PROPERTY(GradientTypes::TGradientStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool UseSysColors READ UseSysColors WRITE SetUseSysColors)

public:
    // 100 x 100, opaque, with the default pattern (gsRadialC, white to button face).
    explicit TGradient(QWidget *parent = nullptr);

    TColor BorderColor() const { return borderColor_; }
    int BorderWidth() const { return borderWidth_; }
    TColor ColorBegin() const { return colorBegin_; }
    TColor ColorEnd() const { return colorEnd_; }
    bool Reverse() const { return reverse_; }
    int Rotation() const { return rotation_; }
    TShapeType Shape() const { return shape_; }
    int Shift() const { return shift_; }
    TGradientStyle Style() const { return style_; }
    bool UseSysColors() const { return useSysColors_; }

    // A setter given the current value does nothing. Colours, Reverse, Rotation, Shift and
    // Style rebuild the pattern; border and shape only repaint.
    void SetBorderColor(TColor value);
    void SetBorderWidth(int value);  // below 0 counts as 0
    void SetColorBegin(TColor value);  // also clears UseSysColors
    void SetColorEnd(TColor value);    // also clears UseSysColors
    void SetReverse(bool value);
    void SetRotation(int value);  // clamped to -100..100
    void SetShape(TShapeType value);  // values past stCircle are ignored
    void SetShift(int value);     // clamped to -100..100
    void SetStyle(TGradientStyle value);  // values past gsRadialRect are ignored
    void SetUseSysColors(bool value);

    // A colour that follows the system, or equals its default, is not worth storing.
    bool IsColorBeginStored() const;
    bool IsColorEndStored() const;

    // Changes between the two only invalidate the pattern; the closing EndUpdate
    // rebuilds it once, and not at all when nothing changed.
    void BeginUpdate();
    void EndUpdate();

    // Recomputes the colour table and the pattern, then schedules a repaint.
    virtual void UpdatePattern();
    // Takes the end colours from the system's active caption and its gradient colour.
    virtual void UpdateSysColors();

    const QImage &Pattern() const { return pattern_; }
    const TGradientColors &ColorTable() const { return colors_; }
    bool PatternValid() const { return patternValid_; }
    int UpdateCount() const { return updateCount_; }

    // The table from `first` (entry 0 when Rotation is 0) to `second`, both plain RGB.
    static TGradientColors BuildColorTable(TColor first, TColor second, int shift, int rotation);
    // The figure a shape fills on a widget of `size` framed by `borderWidth`.
    static TGradientFigure FigureRect(TShapeType shape, int borderWidth, QSize size);

    TCustomGradientEvent OnCustom;
    TGradientNotifyEvent OnMouseEnter;
    TGradientNotifyEvent OnMouseLeave;

signals:
    // A left button press released inside the widget.
    void clicked();
    // UpdatePattern rendered a new pattern.
    void patternRebuilt();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void renderPattern(TColor first, TColor second);
    void drawOutline(QPainter &painter, const TGradientFigure &figure) const;

    TColor colorBegin_ = clWhite;
    TColor colorEnd_ = clBtnFace;
    bool useSysColors_ = false;
    TGradientStyle style_ = gsRadialC;
    TGradientShift shift_ = 0;
    TGradientRotation rotation_ = 0;
    TShapeType shape_ = stRectangle;
    bool reverse_ = false;
    QImage pattern_;
    TColor borderColor_ = clActiveBorder;
    TBorderWidth borderWidth_ = 0;
    int updateCount_ = 0;
    bool patternValid_ = false;
    TGradientColors colors_{};
};
