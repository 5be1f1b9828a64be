#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "desktop_session.h"

namespace vgx::test {

// The mapped windows of `pid` whose title matches `name` (an ECMAScript regular expression).
std::vector<ScreenWindow> NamedWindows(const DesktopSession& desktop, pid_t pid,
                                       const std::string& name);
// The largest of them, once one is there (the tray icon carries the program's name too).
std::optional<ScreenWindow> WaitForNamedWindow(const DesktopSession& desktop, pid_t pid,
                                               const std::string& name,
                                               std::chrono::milliseconds timeout);

// Presses the left button at (x, y), moves the pointer to (toX, toY) in steps and lets go.
void Drag(const DesktopSession& desktop, int x, int y, int toX, int toY);

// The settings window (frmMenu) seen from outside: points of its layout in twips, put on the
// screen through the window's place and size.
struct TwipPoint {
    int x = 0;
    int y = 0;
};
inline constexpr int kSettingsWidthTwips = 9330;
inline constexpr int kSettingsHeightTwips = 6960;
// The banner's "X" (the banner starts 40 twips above the window's top).
inline constexpr TwipPoint kTrayButton{9040 + 195 / 2, -40 + 45 + 195 / 2};
// The banner's "?".
inline constexpr TwipPoint kAboutButton{8760 + 195 / 2, -40 + 45 + 195 / 2};
// Menu button `index` (0 to 4), the column at its first position; the fifth shows only its top.
inline constexpr TwipPoint MenuButton(int index) {
    return {1695 / 2, 975 + index * 1320 + 400};
}
// The folder section's "&Adicionar", the first of the buttons under the list.
inline constexpr TwipPoint kAddFolderButton{2400 + 6945 / 6, 855 + 3840 - 390};

// The settings window once it is shown.
std::optional<ScreenWindow> WaitForSettingsWindow(const DesktopSession& desktop, pid_t pid,
                                                  std::chrono::milliseconds timeout);

struct ScreenPoint {
    int x = 0;
    int y = 0;
};
ScreenPoint OnScreen(const ScreenWindow& settings, TwipPoint at);

}  // namespace vgx::test
