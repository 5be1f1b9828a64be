#include "desktop_windows.h"

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <thread>

namespace vgx::test {

std::vector<ScreenWindow> NamedWindows(const DesktopSession& desktop, pid_t pid,
                                       const std::string& name) {
    const std::regex pattern(name);
    std::vector<ScreenWindow> found;
    for (const ScreenWindow& w : desktop.WindowsOf(pid)) {
        std::string title =
            desktop.Run({"xdotool", "getwindowname", std::to_string(w.id)}).value_or("");
        if (!title.empty() && title.back() == '\n')
            title.pop_back();
        if (std::regex_search(title, pattern))
            found.push_back(w);
    }
    return found;
}

std::optional<ScreenWindow> WaitForNamedWindow(const DesktopSession& desktop, pid_t pid,
                                               const std::string& name,
                                               std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto found = NamedWindows(desktop, pid, name);
        if (!found.empty()) {
            return *std::max_element(found.begin(), found.end(), [](const auto& a, const auto& b) {
                return a.width * a.height < b.width * b.height;
            });
        }
        if (std::chrono::steady_clock::now() >= end)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void Drag(const DesktopSession& desktop, int x, int y, int toX, int toY) {
    std::vector<std::string> args{"xdotool",         "mousemove", "--sync", std::to_string(x),
                                  std::to_string(y), "mousedown", "1"};
    constexpr int kSteps = 4;
    for (int i = 1; i <= kSteps; ++i) {
        args.insert(args.end(), {"sleep", "0.05", "mousemove", "--sync",
                                 std::to_string(x + (toX - x) * i / kSteps),
                                 std::to_string(y + (toY - y) * i / kSteps)});
    }
    args.insert(args.end(), {"sleep", "0.05", "mouseup", "1"});
    desktop.Run(args);
}

std::optional<ScreenWindow> WaitForSettingsWindow(const DesktopSession& desktop, pid_t pid,
                                                  std::chrono::milliseconds timeout) {
    std::optional<ScreenWindow> found;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!found && std::chrono::steady_clock::now() < end) {
        for (const ScreenWindow& w : NamedWindows(desktop, pid, "^Vigiax$")) {
            // Its proportions, within a pixel: the tray icon and the tray animation's outline
            // carry the same name.
            if (w.width > 100 && std::abs(w.width * kSettingsHeightTwips -
                                          w.height * kSettingsWidthTwips) <= kSettingsWidthTwips)
                found = w;
        }
        if (!found)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return found;
}

ScreenPoint OnScreen(const ScreenWindow& settings, TwipPoint at) {
    return {settings.x + at.x * settings.width / kSettingsWidthTwips,
            settings.y + at.y * settings.height / kSettingsHeightTwips};
}

}  // namespace vgx::test
