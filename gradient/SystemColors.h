// TColor, the classic 32-bit colour value (0x00BBGGRR, or a system colour index when
// negative), and its resolution to RGB through a system colour table of our own.
#pragma once

#include <QRgb>

#include <functional>

using TColor = qint32;

inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clWhite = 0x00FFFFFF;
// System colours: top byte 0xFF, low byte the index in the system colour table.
inline constexpr TColor clActiveCaption = static_cast<TColor>(0xFF000002u);
inline constexpr TColor clActiveBorder = static_cast<TColor>(0xFF00000Au);
inline constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000Fu);
inline constexpr TColor clGradientActiveCaption = static_cast<TColor>(0xFF00001Bu);

inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;

// The plain colour 0x00BBGGRR of the three channels.
constexpr TColor RGBToColor(int red, int green, int blue)
{
    return TColor((blue & 0xFF) << 16 | (green & 0xFF) << 8 | (red & 0xFF));
}

// The current value of system colour `index` as a plain colour. Indices outside the
// table give black, as the classic toolkit does; a replaced source may throw.
TColor SystemColor(int index);

// A negative colour becomes the current system colour of its low byte; any other
// value is returned as it is.
TColor ColorToRGB(TColor color);

// The resolved colour as an opaque QRgb (0xFFRRGGBB), the form QImage and QColor take.
QRgb ColorToQRgb(TColor color);

// Replaces where system colours come from (a test's table, or one that fails); an
// empty function restores the built-in table.
using TSystemColorSource = std::function<TColor(int index)>;
void SetSystemColorSource(TSystemColorSource source);
