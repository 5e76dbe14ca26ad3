// Helpers of the gradient widget's tests: two colours, a system whose
// colours the test sets, and a widget that counts its paint events.
#pragma once

#include "gradient/Gradient.h"

#include <QPaintEvent>

#include <map>
#include <stdexcept>

namespace GradientTest {

constexpr TColor red = RGBToColor(255, 0, 0);
constexpr TColor blue = RGBToColor(0, 0, 255);

// A system whose colour of each index is (index, 0, 0), except where told otherwise.
inline void useSystemColours(std::map<int, TColor> colours, int failingIndex = -1)
{
    SetSystemColorSource([colours, failingIndex](int index) -> TColor {
        if (index == failingIndex)
            throw std::runtime_error("system colour unavailable");
        const auto found = colours.find(index);
        return found != colours.end() ? found->second : RGBToColor(index, 0, 0);
    });
}

// Counts the paint events the widget receives.
class CountingGradient : public TGradient
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        TGradient::paintEvent(event);
    }
};

} // namespace GradientTest
