#pragma once

#include <optional>

namespace vgx {

// The arithmetic of the scrolling menu column: the column holds a strip taller than itself
// and a vertical bar whose value, in pixels, is how far the strip is scrolled up. Lengths are
// whole twips or pixels, as named; `tpp` is the screen's whole twips per pixel.

// One click on an arrow moves by one menu button pitch.
constexpr int kMenuPitchTwips = 1320;
// Room the bar takes beside the strip when the strip is centred.
constexpr int kBarRoomTwips = 300;

struct ColumnLayout {
    bool barVisible = false;
    int largeChange = 0;  // pixels; set only when the bar is shown
    int maximum = 0;      // pixels; set only when the bar is shown
    int stripLeft = 0;    // twips; set only when the bar is shown
};

// The bar for a strip of `stripHeight` in a column of `innerHeight` (inner) and
// `columnWidth`: hidden when less than a pixel overflows; otherwise the overflow is the
// maximum, split into equal pages no larger than what is visible, and the strip is centred
// in the room left beside the bar.
ColumnLayout LayOutColumn(int stripHeight, int stripWidth, int innerHeight, int columnWidth,
                          int tpp);

struct StripPlace {
    int left = 0;  // twips
    int top = 0;   // twips
    bool operator==(const StripPlace&) const = default;
};

// Where the strip goes when the vertical bar reports `value`; nothing when it stays put.
// At the top the strip rests 75 twips down; at -660 it goes on to -675. With the bar
// hidden the strip goes back to the column's corner.
std::optional<StripPlace> StripPlaceForValue(int value, int tpp, StripPlace current,
                                             bool barVisible);

// Amount a wheel turn adds to the bar's value: whole notches (120 units of `delta` each) times
// the small change times the lines per notch (3 when the system gives less than 1).
int WheelAmount(int delta, int smallChange, int wheelLines);

}  // namespace vgx
