#pragma once

#include <cstdlib>
#include <regex>

#include "desktop_session.h"

namespace vgx::test {

// The mapped windows of `pid` whose title matches `name` (an ECMAScript regular expression).
inline std::vector<ScreenWindow> NamedWindows(const DesktopSession& desktop, pid_t pid,
                                              const std::string& name) {
    const std::regex pattern(name);
    std::vector<ScreenWindow> windows = desktop.WindowsOf(pid);
    std::erase_if(windows,
                  [&](const ScreenWindow& w) { return !std::regex_search(w.title, pattern); });
    return windows;
}
// The largest of them, once one is there (the tray icon carries the program's name too).
inline std::optional<ScreenWindow> WaitForNamedWindow(const DesktopSession& desktop, pid_t pid,
                                                      const std::string& name,
                                                      std::chrono::milliseconds timeout) {
    const std::regex pattern(name);
    return desktop.WaitForWindow(
        pid, [&](const ScreenWindow& w) { return std::regex_search(w.title, pattern); }, timeout);
}

// The settings window (frmMenu) seen from outside: points of its layout in twips, put on the
// screen through the window's place and size.
struct TwipPoint {
    int x = 0;
    int y = 0;
};
inline constexpr int kSettingsWidthTwips = 9330;
inline constexpr int kSettingsHeightTwips = 6960;
// The banner's "X" and "?" (the banner starts 40 twips above the window's top).
inline constexpr TwipPoint kTrayButton{9040 + 195 / 2, -40 + 45 + 195 / 2};
inline constexpr TwipPoint kAboutButton{8760 + 195 / 2, -40 + 45 + 195 / 2};
// Menu button `index` (0 to 4), the column at its first position; the fifth shows only its top.
inline constexpr TwipPoint MenuButton(int index) {
    return {1695 / 2, 975 + index * 1320 + 400};
}
// The folder section's "&Adicionar", the first of the buttons under the list.
inline constexpr TwipPoint kAddFolderButton{2400 + 6945 / 6, 855 + 3840 - 390};

// The settings window once it is shown: the window named Vigiax with its proportions, within a
// pixel (the tray icon and the tray animation's outline carry the same name).
inline std::optional<ScreenWindow> WaitForSettingsWindow(const DesktopSession& desktop, pid_t pid,
                                                         std::chrono::milliseconds timeout) {
    return desktop.WaitForWindow(
        pid,
        [](const ScreenWindow& w) {
            return w.title == "Vigiax" && w.width > 100 &&
                   std::abs(w.width * kSettingsHeightTwips - w.height * kSettingsWidthTwips) <=
                       kSettingsWidthTwips;
        },
        timeout);
}

struct ScreenPoint {
    int x = 0;
    int y = 0;
};
inline ScreenPoint OnScreen(const ScreenWindow& settings, TwipPoint at) {
    return {settings.x + at.x * settings.width / kSettingsWidthTwips,
            settings.y + at.y * settings.height / kSettingsHeightTwips};
}

}  // namespace vgx::test
