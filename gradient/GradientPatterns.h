// The 24 pattern builders: each sizes the pattern image of its style and writes every
// pixel as an entry of the colour table, row by row.
#pragma once

#include "gradient/GradientTypes.h"

#include <QImage>

// Sizes `pattern` (QImage::Format_RGB32) for its style and fills it from `colors`.
using TPatternBuilder = void (*)(const TGradientColors &colors, QImage &pattern);

// Indexed by TGradientStyle; the entry of gsCustom is empty, since the widget itself
// renders that style.
extern const std::array<TPatternBuilder, GradientStyleCount> PatternBuilders;
