#pragma once

#include <QIcon>
#include <QPixmap>

#include <array>

namespace vgx {

// Sizes each tray picture is drawn at, so that none is scaled on the way to the screen.
inline constexpr std::array<int, 5> kTrayPictureSizes{16, 22, 24, 32, 48};

// Whether `picture` is one of the tray pictures kTrayNormal .. kTrayPaused.
bool IsTrayPicture(int picture);

// A shield in the state's colour with its mark: normal green with a tick, failures counted
// yellow with "!", limit near red with a cross, paused grey with two bars.
// Both throw std::out_of_range for a number that is no tray picture.
QPixmap DrawTrayPicture(int picture, int size);
QIcon TrayPicture(int picture);

}  // namespace vgx
