#pragma once

namespace vgx {

// Places and edges here are in twips (1/1440 inch).

// A window's place.
struct TwipPlace {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// Edges of a screen area; right and bottom lie just past the last pixel.
struct TwipEdges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Distance from the work area's edge at which a window brought back inside is put.
inline constexpr int kFitMarginTwips = 15;
// Distance within which a dragged panel snaps to an edge.
inline constexpr int kSnapTwips = 150;

struct FitResult {
    double left = 0;
    double top = 0;
    float right = 0;   // the work area's right edge
    float bottom = 0;  // the work area's bottom edge
};

// Brings `window` back inside `workArea` when `apply` is true (left and top unchanged otherwise);
// each axis independently: past the far edge first, then before the near one.
FitResult FitInWorkArea(const TwipEdges& workArea, const TwipPlace& window, bool apply);

struct TwipPoint {
    double left = 0;
    double top = 0;
};

// One mouse move of a drag: the window's new left and top. `mouseX`, `mouseY` are the pointer's
// position in the window and `dragX`, `dragY` where the drag started in it. Within kSnapTwips
// of an edge of `snap` (the screen's left and top, the work area's right and bottom) the window
// is put flush against that edge; each axis snaps on its own.
TwipPoint DragStep(const TwipPlace& window, double mouseX, double mouseY, int dragX, int dragY,
                   const TwipEdges& snap);

}  // namespace vgx
