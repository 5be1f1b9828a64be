#include "ui/panel/panel_geometry.h"

namespace vgx {

namespace {

// One axis of the fit: the new near edge of a window of `size` at `at` between `low` and `high`.
double FitAxis(double at, double size, int low, int high) {
    if (at + size > high)
        return high - size - kFitMarginTwips;
    if (at < low)
        return low + kFitMarginTwips;
    return at;
}

// One axis of the drag: flush with `low` or `high` within the snap distance, else `wanted`.
double SnapAxis(double wanted, double size, int low, int high) {
    double at = wanted;
    if (wanted < low + kSnapTwips)
        at = low;
    if (wanted + size > high - kSnapTwips)
        at = high - size;
    return at;
}

}  // namespace

FitResult FitInWorkArea(const TwipEdges& workArea, const TwipPlace& window, bool apply) {
    FitResult fit{window.left, window.top, static_cast<float>(workArea.right),
                  static_cast<float>(workArea.bottom)};
    if (apply) {
        fit.top = FitAxis(window.top, window.height, workArea.top, workArea.bottom);
        fit.left = FitAxis(window.left, window.width, workArea.left, workArea.right);
    }
    return fit;
}

TwipPoint DragStep(const TwipPlace& window, double mouseX, double mouseY, int dragX, int dragY,
                   const TwipEdges& snap) {
    const double wantedLeft = window.left + mouseX - dragX;
    const double wantedTop = window.top + mouseY - dragY;
    return {SnapAxis(wantedLeft, window.width, snap.left, snap.right),
            SnapAxis(wantedTop, window.height, snap.top, snap.bottom)};
}

}  // namespace vgx
