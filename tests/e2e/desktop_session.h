#pragma once

#include <sys/types.h>

#include <QImage>
#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vgx::test {

// A window on the session's screen; x and y are relative to the screen.
struct ScreenWindow {
    unsigned long id = 0;
    int x = 0, y = 0, width = 0, height = 0;

    int CentreX() const { return x + width / 2; }
    int CentreY() const { return y + height / 2; }
    bool Inside(const ScreenWindow& other) const {
        return x >= other.x && y >= other.y && x + width <= other.x + other.width &&
               y + height <= other.y + other.height;
    }
};

// A bare X display (Xvfb, on a free display number) with a notification-area host (trayer
// along the top edge, at the right), for tests that drive the program as a user would: find its
// tray icon, click it, press keys, take screenshots. Windows are found and input is sent with
// xdotool. Everything it starts, it stops on destruction.
class DesktopSession {
public:
    DesktopSession() = default;
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    // Starts the display and the tray and waits for the tray to take its place. On failure
    // returns false and says why in Error().
    bool Start(int width = 1024, int height = 768,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));
    const std::string& Error() const { return error_; }
    const std::string& Display() const { return display_; }  // ":N"
    // DISPLAY and QT_QPA_PLATFORM=xcb, for a program started on this display.
    std::vector<std::string> Env() const;

    // Whether a notification-area host holds the display's tray selection.
    bool TrayAvailable() const;
    // Stops the tray host, and starts it again with StartTray (as a restarted desktop panel).
    void StopTray();
    bool StartTray(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // The tray host's strip on the screen.
    std::optional<ScreenWindow> TrayArea() const;

    // The windows of process `pid` that are mapped.
    std::vector<ScreenWindow> WindowsOf(pid_t pid) const;
    // The icon of process `pid` in the tray, once it is there.
    std::optional<ScreenWindow> WaitForTrayIcon(pid_t pid, std::chrono::milliseconds timeout) const;
    // A mapped window of `pid` whose id is not in `known`, e.g. a menu that has just opened.
    std::optional<ScreenWindow> WaitForNewWindow(pid_t pid, const std::set<unsigned long>& known,
                                                 std::chrono::milliseconds timeout) const;

    // Mouse buttons: 1 left, 2 middle, 3 right.
    void Click(int x, int y, int button = 1, int count = 1) const;
    void Click(const ScreenWindow& w, int button = 1, int count = 1) const {
        Click(w.CentreX(), w.CentreY(), button, count);
    }
    // Keys by X key name: "p", "Return", "Escape", "alt+F4".
    void Key(const std::string& keys) const;

    // The window that has the keyboard focus, or 0.
    unsigned long FocusedWindow() const;

    // The whole screen, or a part of it, as an image (null when the display cannot be read) or
    // as a PNG file.
    QImage Grab(const ScreenWindow& part = {}) const;
    bool Screenshot(const std::filesystem::path& png) const;
    bool Screenshot(const std::filesystem::path& png, const ScreenWindow& part) const;

    // Runs a command on the display and returns what it printed, or nothing when it failed.
    std::optional<std::string> Run(const std::vector<std::string>& argv) const;

private:
    std::optional<ScreenWindow> Geometry(unsigned long id) const;

    std::string display_;
    std::string error_;
    pid_t xvfb_ = -1;
    pid_t tray_ = -1;
};

}  // namespace vgx::test
