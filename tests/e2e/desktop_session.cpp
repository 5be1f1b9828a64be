#include "desktop_session.h"

// After Qt: Xlib defines macros (None, Bool, Status) that Qt's headers would trip on.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <sstream>

#include "program_run.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;

constexpr int kTrayHeight = 24;  // trayer's strip along the top edge

bool TrayOwned(const std::string& display) {
    ::Display* x = XOpenDisplay(display.c_str());
    if (!x)
        return false;
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(x));
    const bool owned = XGetSelectionOwner(x, XInternAtom(x, name.c_str(), False)) != None;
    XCloseDisplay(x);
    return owned;
}

}  // namespace

DesktopSession::~DesktopSession() {
    // SIGTERM, so that Xvfb removes its lock and socket files.
    for (const pid_t pid : {tray_, xvfb_}) {
        if (pid > 0 && ::kill(pid, SIGTERM) == 0)
            ::waitpid(pid, nullptr, 0);
    }
}

bool DesktopSession::Start() {
    int fds[2];
    if (::pipe(fds) != 0)
        return false;
    // Xvfb picks a free display number itself and writes it to the pipe once it listens.
    xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                   "-nolisten", "tcp", "-noreset"},
                  {});
    ::close(fds[1]);
    FILE* in = ::fdopen(fds[0], "r");
    char number[16] = {};
    const bool listening = std::fgets(number, sizeof number, in) != nullptr;
    std::fclose(in);
    if (!listening) {
        error_ = "Xvfb did not start";
        return false;
    }
    display_ = ":" + std::to_string(std::atoi(number));
    tray_ = Spawn({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                   "--height", std::to_string(kTrayHeight), "--SetDockType", "true"},
                  {"DISPLAY=" + display_});
    if (!WaitFor([this] { return TrayOwned(display_); }, 10s, 100ms)) {
        error_ = "trayer did not take the tray";
        return false;
    }
    return true;
}

std::vector<ScreenWindow> DesktopSession::WindowsOf(pid_t pid) const {
    // One run of xdotool: the geometry of each window (six lines), then each one's title.
    const std::string out =
        Run({"xdotool", "search", "--all", "--onlyvisible", "--pid", std::to_string(pid), "--name",
             "", "getwindowgeometry", "--shell", "%@", "getwindowname", "%@"});
    std::vector<ScreenWindow> windows;
    ScreenWindow w;
    int screen = 0, n = 0;
    const char* at = out.c_str();
    for (; std::sscanf(at, " WINDOW=%lu X=%d Y=%d WIDTH=%d HEIGHT=%d SCREEN=%d%n", &w.id, &w.x,
                       &w.y, &w.width, &w.height, &screen, &n) == 6;
         at += n)
        windows.push_back(w);
    std::istringstream titles(at + (*at == '\n'));
    for (ScreenWindow& window : windows)
        std::getline(titles, window.title);
    return windows;
}

std::optional<ScreenWindow> DesktopSession::WaitForWindow(
    pid_t pid, const std::function<bool(const ScreenWindow&)>& match,
    std::chrono::milliseconds timeout) const {
    std::optional<ScreenWindow> found;
    WaitFor(
        [&] {
            for (const ScreenWindow& w : WindowsOf(pid)) {
                if (match(w) && (!found || w.width * w.height > found->width * found->height))
                    found = w;
            }
            return found.has_value();
        },
        timeout, 100ms);
    return found;
}

std::optional<ScreenWindow> DesktopSession::WaitForTrayIcon(
    pid_t pid, std::chrono::milliseconds timeout) const {
    return WaitForWindow(
        pid,
        [](const ScreenWindow& w) {
            return w.width > 0 && w.y >= 0 && w.y + w.height <= kTrayHeight;
        },
        timeout);
}

std::optional<ScreenWindow> DesktopSession::OpenTrayMenu(pid_t pid,
                                                         const ScreenWindow& icon) const {
    std::set<unsigned long> known;
    for (const ScreenWindow& w : WindowsOf(pid))
        known.insert(w.id);
    Click(icon, 3);
    return WaitForWindow(
        pid, [&](const ScreenWindow& w) { return !known.contains(w.id); }, 5s);
}

void DesktopSession::Click(const ScreenWindow& w, int button) const {
    Run({"xdotool", "mousemove", "--sync", std::to_string(w.x + w.width / 2),
         std::to_string(w.y + w.height / 2), "click", std::to_string(button)});
}

void DesktopSession::Key(const std::string& keys, const ScreenWindow* to) const {
    if (to)
        Run({"xdotool", "windowfocus", "--sync", std::to_string(to->id)});
    Run({"xdotool", "key", keys});
}

QImage DesktopSession::Grab(const ScreenWindow& part) const {
    ::Display* x = XOpenDisplay(display_.c_str());
    if (!x)
        return {};
    QImage out;
    if (XImage* image =
            XGetImage(x, DefaultRootWindow(x), part.x, part.y, static_cast<unsigned>(part.width),
                      static_cast<unsigned>(part.height), AllPlanes, ZPixmap)) {
        out = QImage(reinterpret_cast<const uchar*>(image->data), part.width, part.height,
                     image->bytes_per_line, QImage::Format_RGB32)
                  .copy();
        XDestroyImage(image);
    }
    XCloseDisplay(x);
    return out;
}

std::string DesktopSession::Run(const std::vector<std::string>& argv) const {
    std::string command = "DISPLAY=" + display_;
    for (const std::string& a : argv)
        command += " '" + a + "'";  // no argument holds a quote
    FILE* out = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (!out)
        return {};
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;)
        text.append(buffer, n);
    return ::pclose(out) == 0 ? text : "";
}

}  // namespace vgx::test
