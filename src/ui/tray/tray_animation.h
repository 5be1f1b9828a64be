#pragma once

#include <QRect>

class QWidget;

namespace vgx {

inline constexpr int kTrayAnimationMs = 250;

// A rectangle of the size of `r` centred on `workArea`.
QRect CentreRectOnWorkArea(const QRect& r, const QRect& workArea);

// The vertical line through the middle of the tray icon's rectangle.
QRect TrayLine(const QRect& trayGeometry);

// Plays the window's outline shrinking into the tray icon's place (fromTray false) or growing
// out of it (fromTray true); `centred` takes the window's size centred on its screen's work area
// as the window's place. Returns when the animation is over, about kTrayAnimationMs later,
// having processed no user input meanwhile. Does nothing and returns false when the tray's place
// is unknown (a null `trayGeometry`).
bool AnimateWindowToTray(QWidget* window, bool fromTray, bool centred, const QRect& trayGeometry);

}  // namespace vgx
