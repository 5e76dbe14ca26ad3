// Value types shared by the gradient widget and its pattern builders: the 24 styles,
// the figures a gradient can fill, and the 256-entry colour table.
#pragma once

#include <QObject>
#include <QRgb>

#include <array>

namespace GradientTypes {
Q_NAMESPACE

// The order is fixed: PatternBuilders is indexed by it.
enum TGradientStyle : quint8 {
    gsCustom,
    gsRadialC, gsRadialT, gsRadialB, gsRadialL, gsRadialR,
    gsRadialTL, gsRadialTR, gsRadialBL, gsRadialBR,
    gsLinearH, gsLinearV, gsReflectedH, gsReflectedV,
    gsDiagonalLF, gsDiagonalLB, gsDiagonalRF, gsDiagonalRB,
    gsArrowL, gsArrowR, gsArrowU, gsArrowD,
    gsDiamond, gsButterfly, gsRadialRect
};
Q_ENUM_NS(TGradientStyle)

enum TShapeType : quint8 {
    stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle
};
Q_ENUM_NS(TShapeType)

} // namespace GradientTypes

using GradientTypes::TGradientStyle;
using GradientTypes::TShapeType;
using enum GradientTypes::TGradientStyle;
using enum GradientTypes::TShapeType;

inline constexpr int GradientStyleCount = gsRadialRect + 1;

using TGradientShift = qint8;     // -100..100
using TGradientRotation = qint8;  // -100..100
using TBorderWidth = qint32;      // 0..2147483647

// One entry per index 0..255, laid out like a pixel of a QImage::Format_RGB32 row
// (0xFFRRGGBB: blue, green, red, 0xFF in memory), so builders copy entries as words.
using TGradientColors = std::array<QRgb, 256>;
