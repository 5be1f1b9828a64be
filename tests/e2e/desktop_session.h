#pragma once

#include <sys/types.h>

#include <QImage>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vgx::test {

// A mapped window; x and y are relative to the screen.
struct ScreenWindow {
    unsigned long id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string title{};
};

// A bare X display (Xvfb, on a free display number) with a notification-area host (trayer
// along the top edge, at the right), driven with xdotool as a user would. Everything it
// starts, it stops on destruction.
class DesktopSession {
public:
    ~DesktopSession();
    // Starts the display and the tray host and waits for the host to hold the tray; on failure
    // returns false and says why in Error().
    bool Start();
    const std::string& Error() const { return error_; }
    // For a program started on this display.
    const std::string& Display() const { return display_; }
    std::vector<std::string> Env() const { return {"DISPLAY=" + display_, "QT_QPA_PLATFORM=xcb"}; }

    // The mapped windows of process `pid`, with their titles.
    std::vector<ScreenWindow> WindowsOf(pid_t pid) const;
    // The largest mapped window of `pid` that `match` accepts, once there is one.
    std::optional<ScreenWindow> WaitForWindow(pid_t pid,
                                              const std::function<bool(const ScreenWindow&)>& match,
                                              std::chrono::milliseconds timeout) const;
    // The icon of `pid` in the tray, once it is there.
    std::optional<ScreenWindow> WaitForTrayIcon(pid_t pid, std::chrono::milliseconds timeout) const;
    // Right-clicks the tray icon of `pid` and returns the menu that opens.
    std::optional<ScreenWindow> OpenTrayMenu(pid_t pid, const ScreenWindow& icon) const;

    // Clicks the middle of `w`. Mouse buttons: 1 left, 2 middle, 3 right, 4 and 5 the wheel.
    void Click(const ScreenWindow& w, int button = 1) const;
    // Keys by X key name ("p", "Return", "alt+F4"), to window `to` when given.
    void Key(const std::string& keys, const ScreenWindow* to = nullptr) const;
    // A part of the screen (null when the display cannot be read).
    QImage Grab(const ScreenWindow& part) const;

private:
    // Runs a command on the display and returns what it printed; empty when it failed.
    std::string Run(const std::vector<std::string>& argv) const;

    std::string display_;
    std::string error_;
    pid_t xvfb_ = -1;
    pid_t tray_ = -1;
};

// The mapped windows of `pid` with the title `title`.
inline std::vector<ScreenWindow> NamedWindows(const DesktopSession& desktop, pid_t pid,
                                              const std::string& title) {
    std::vector<ScreenWindow> windows = desktop.WindowsOf(pid);
    std::erase_if(windows, [&](const ScreenWindow& w) { return w.title != title; });
    return windows;
}
// The largest of them, once one is there (the tray icon carries the program's name too).
inline std::optional<ScreenWindow> WaitForNamedWindow(const DesktopSession& desktop, pid_t pid,
                                                      const std::string& title,
                                                      std::chrono::milliseconds timeout) {
    return desktop.WaitForWindow(
        pid, [&](const ScreenWindow& w) { return w.title == title; }, timeout);
}

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

// The point `at` of the settings window on the screen, as an empty window to click.
inline ScreenWindow OnScreen(const ScreenWindow& settings, TwipPoint at) {
    return {.x = settings.x + at.x * settings.width / kSettingsWidthTwips,
            .y = settings.y + at.y * settings.height / kSettingsHeightTwips};
}

}  // namespace vgx::test
