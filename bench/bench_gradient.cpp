// bench_gradient: the time to build each style's pattern as a ratio to QImage::fill of
// an image of the same size, both measured in this run, and the time to paint 333 x 129.
#include "gradient/Gradient.h"
#include "gradient/GradientPatterns.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMetaEnum>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

constexpr double ratioLimit = 10.0;
constexpr qint64 roundNanoseconds = 2'000'000;
constexpr int rounds = 15;

// Enough calls of `work` to fill one round of about 2 ms.
template <typename Work>
int callsPerRound(Work &&work)
{
    for (int calls = 1;; calls *= 2) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < calls; ++i)
            work();
        if (timer.nsecsElapsed() >= roundNanoseconds || calls >= (1 << 24))
            return calls;
    }
}

template <typename Work>
double nanosecondsPerCall(Work &&work, int calls)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; ++i)
        work();
    return double(timer.nsecsElapsed()) / calls;
}

struct Timing { double build; double fill; };

// The two measures alternate round by round and each keeps its fastest round, the one
// least disturbed by the rest of the machine.
template <typename Build, typename Fill>
Timing compare(Build &&build, Fill &&fill)
{
    const int buildCalls = callsPerRound(build);
    const int fillCalls = callsPerRound(fill);
    Timing best{std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    for (int round = 0; round < rounds; ++round) {
        best.build = std::min(best.build, nanosecondsPerCall(build, buildCalls));
        best.fill = std::min(best.fill, nanosecondsPerCall(fill, fillCalls));
    }
    return best;
}

TGradientColors benchTable()
{
    return TGradient::BuildColorTable(RGBToColor(0, 0, 128), RGBToColor(255, 214, 120), 0, 0);
}

double benchBuilders()
{
    const TGradientColors colors = benchTable();
    const QMetaEnum names = QMetaEnum::fromType<TGradientStyle>();
    std::printf("%-14s %9s %12s %12s %7s\n", "style", "size", "build ns", "fill ns", "ratio");
    double worst = 0;
    for (int style = gsRadialC; style <= gsRadialRect; ++style) {
        QImage pattern;
        PatternBuilders[style](colors, pattern);
        QImage filled(pattern.size(), QImage::Format_RGB32);
        const Timing t = compare([&] { PatternBuilders[style](colors, pattern); },
                                 [&] { filled.fill(0xFF102030u); });
        const double ratio = t.build / t.fill;
        worst = std::max(worst, ratio);
        const QByteArray size = QByteArray::number(pattern.width()) + 'x' + QByteArray::number(pattern.height());
        std::printf("%-14s %9s %12.0f %12.0f %7.2f\n", names.valueToKey(style), size.constData(),
                    t.build, t.fill, ratio);
    }
    std::printf("largest ratio: %.2f (limit %.0f)\n\n", worst, ratioLimit);
    return worst;
}

// The splash window's gradient, painted as the window would paint it.
void benchPainting()
{
    TGradient gradient;
    gradient.resize(333, 129);
    gradient.BeginUpdate();
    gradient.SetColorBegin(clGradientActiveCaption);
    gradient.SetColorEnd(clWhite);
    gradient.SetReverse(true);
    gradient.SetStyle(gsDiamond);
    gradient.EndUpdate();

    const double rebuild = nanosecondsPerCall([&] { gradient.UpdatePattern(); }, callsPerRound([&] {
        gradient.UpdatePattern();
    }));
    std::printf("rebuild of the 333 x 129 gsDiamond gradient (table and pattern): %.1f us\n", rebuild / 1000);

    qlonglong rebuilds = 0;
    QObject::connect(&gradient, &TGradient::patternRebuilt, [&rebuilds] { ++rebuilds; });
    QImage canvas(gradient.size(), QImage::Format_ARGB32_Premultiplied);
    const auto paint = [&] { gradient.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags()); };
    const QMetaEnum shapes = QMetaEnum::fromType<TShapeType>();
    for (int border : {0, 4}) {
        for (int shape = stRectangle; shape <= stCircle; ++shape) {
            gradient.SetShape(TShapeType(shape));
            gradient.SetBorderWidth(border);
            const int calls = callsPerRound(paint);
            double best = std::numeric_limits<double>::max();
            for (int round = 0; round < rounds; ++round)
                best = std::min(best, nanosecondsPerCall(paint, calls));
            std::printf("paint 333 x 129, %-13s border %d: %7.1f us\n", shapes.valueToKey(shape), border,
                        best / 1000);
        }
    }
    std::printf("pattern rebuilds while painting: %lld\n", rebuilds);
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double worst = benchBuilders();
    benchPainting();
    return worst <= ratioLimit ? 0 : 1;
}
