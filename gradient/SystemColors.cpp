// The system colour table behind TColor: Qt's palette where it has a role of the same
// meaning, the classic desktop scheme's values where it has none (caption colours).
#include "gradient/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>

#include <optional>

namespace {

struct SystemColorEntry {
    QRgb classic;                           // 0xRRGGBB of the classic desktop scheme
    std::optional<QPalette::ColorRole> role;
    QPalette::ColorGroup group = QPalette::Active;
};

// Indexed by the classic system colour numbers 0..30.
const SystemColorEntry systemColorTable[] = {
    {0xD4D0C8, {}},                                  //  0 scroll bar
    {0x3A6EA5, {}},                                  //  1 desktop
    {0x0A246A, {}},                                  //  2 active caption
    {0x808080, {}},                                  //  3 inactive caption
    {0xD4D0C8, QPalette::Window},                    //  4 menu
    {0xFFFFFF, QPalette::Base},                      //  5 window
    {0x000000, {}},                                  //  6 window frame
    {0x000000, QPalette::WindowText},                //  7 menu text
    {0x000000, QPalette::Text},                      //  8 window text
    {0xFFFFFF, {}},                                  //  9 caption text
    {0xD4D0C8, {}},                                  // 10 active border
    {0xD4D0C8, {}},                                  // 11 inactive border
    {0x808080, {}},                                  // 12 application workspace
    {0x0A246A, QPalette::Highlight},                 // 13 highlight
    {0xFFFFFF, QPalette::HighlightedText},           // 14 highlighted text
    {0xD4D0C8, QPalette::Button},                    // 15 button face
    {0x808080, QPalette::Dark},                      // 16 button shadow
    {0x808080, QPalette::Text, QPalette::Disabled},  // 17 grey text
    {0x000000, QPalette::ButtonText},                // 18 button text
    {0xD4D0C8, {}},                                  // 19 inactive caption text
    {0xFFFFFF, QPalette::Light},                     // 20 button highlight
    {0x404040, QPalette::Shadow},                    // 21 3-D dark shadow
    {0xD4D0C8, QPalette::Midlight},                  // 22 3-D light
    {0x000000, QPalette::ToolTipText},               // 23 tooltip text
    {0xFFFFE1, QPalette::ToolTipBase},               // 24 tooltip background
    {0xB5B5B5, {}},                                  // 25 (no name)
    {0x000080, QPalette::Link},                      // 26 hot-tracked item
    {0xA6CAF0, {}},                                  // 27 gradient active caption
    {0xC0C0C0, {}},                                  // 28 gradient inactive caption
    {0x0A246A, QPalette::Highlight},                 // 29 menu highlight
    {0xD4D0C8, QPalette::Window},                    // 30 menu bar
};

TSystemColorSource &replacedSource()
{
    static TSystemColorSource source;
    return source;
}

TColor fromQRgb(QRgb rgb)
{
    return RGBToColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

TColor builtInSystemColor(int index)
{
    if (index < 0 || index >= int(std::size(systemColorTable)))
        return clBlack;
    const SystemColorEntry &entry = systemColorTable[index];
    // Without an application object there is no palette to ask.
    if (entry.role && qGuiApp)
        return fromQRgb(QGuiApplication::palette().color(entry.group, *entry.role).rgb());
    return fromQRgb(entry.classic);
}

} // namespace

TColor SystemColor(int index)
{
    const TSystemColorSource &source = replacedSource();
    return source ? source(index) : builtInSystemColor(index);
}

TColor ColorToRGB(TColor color)
{
    return color < 0 ? SystemColor(color & 0xFF) : color;
}

QRgb ColorToQRgb(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return qRgb(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

void SetSystemColorSource(TSystemColorSource source)
{
    replacedSource() = std::move(source);
}
