#pragma once

#include <QRect>
#include <functional>

class QWidget;

namespace vgx {

inline constexpr int kTrayAnimationMs = 250;

// A rectangle of the size of `r` centred on `workArea`.
QRect CentreRectOnWorkArea(const QRect& r, const QRect& workArea);

// The vertical line through the middle of the tray icon's rectangle.
QRect TrayLine(const QRect& trayGeometry);

// Plays the window's outline shrinking into the tray icon's place (fromTray false) or growing
// out of it (fromTray true); `centred` takes the window's size centred on its screen's work area
// as the window's place. Returns at once; the animation plays on the event loop for about
// kTrayAnimationMs, and `done` (when set) is called at its end. Does nothing and returns false
// when the tray's place is unknown (a null `trayGeometry`).
bool AnimateWindowToTray(QWidget* window, bool fromTray, bool centred, const QRect& trayGeometry,
                         std::function<void()> done);

}  // namespace vgx
