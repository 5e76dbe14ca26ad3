// The faces the windows ask for by name, each followed by a metric-
// compatible free face for systems that lack it.
#pragma once

#include <QFont>

inline QFont TahomaFont(int pixelSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPixelSize(pixelSize);
    return font;
}

inline QFont TimesNewRomanFont(int pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")});
    font.setPointSize(pointSize);
    return font;
}
