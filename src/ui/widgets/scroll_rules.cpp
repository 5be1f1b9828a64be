#include "ui/widgets/scroll_rules.h"

#include <algorithm>

namespace vgx {

namespace {

constexpr int kTopRest = 75;
constexpr int kNearBottom = -660;
constexpr int kBottomRest = -675;
constexpr int kWheelNotch = 120;
constexpr int kDefaultWheelLines = 3;

}  // namespace

ColumnLayout LayOutColumn(int stripHeight, int stripWidth, int innerHeight, int columnWidth,
                          int tpp) {
    ColumnLayout layout;
    const int overflow = (stripHeight - innerHeight) / tpp;
    if (overflow < 1)
        return layout;
    const int visible = std::max(1, innerHeight / tpp);
    const int steps = overflow / visible + 1;
    layout.barVisible = true;
    layout.largeChange = overflow / steps;
    layout.maximum = overflow;
    layout.stripLeft = (columnWidth - stripWidth - kBarRoomTwips) / 2;
    return layout;
}

std::optional<StripPlace> StripPlaceForValue(int value, int tpp, StripPlace current,
                                             bool barVisible) {
    if ((current.top == 0 || current.top == kTopRest) && value == 0)
        return std::nullopt;
    if (!barVisible)
        return StripPlace{};
    int top = -value * tpp;
    if (top == 0)
        top = kTopRest;
    else if (top == kNearBottom)
        top = kBottomRest;
    return StripPlace{current.left, top};
}

int WheelAmount(int delta, int smallChange, int wheelLines) {
    if (wheelLines < 1)
        wheelLines = kDefaultWheelLines;
    return delta / kWheelNotch * smallChange * wheelLines;
}

}  // namespace vgx
