#include "desktop_session.h"

// After Qt: Xlib defines macros (None, Bool, Status) that Qt's headers would trip on.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

#include "program_run.h"
#include "records/unique_fd.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;

// SIGTERM, so that Xvfb removes its lock and socket files; SIGKILL after 3 s.
void Stop(pid_t pid) {
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    if (!WaitFor([pid] { return ::waitpid(pid, nullptr, WNOHANG) == pid; }, 3s)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

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
    Stop(tray_);
    Stop(xvfb_);
}

bool DesktopSession::Start(std::chrono::milliseconds timeout) {
    int fds[2];
    if (::pipe(fds) != 0)
        return false;
    // Xvfb picks a free display number itself and prints it once it listens.
    xvfb_ = Spawn(
        {"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"},
        {}, fds[1]);
    ::close(fds[1]);
    std::string number;
    char c = 0;
    for (pollfd p{fds[0], POLLIN, 0}; ::poll(&p, 1, static_cast<int>(timeout.count())) == 1 &&
                                      ::read(fds[0], &c, 1) == 1 && c != '\n';)
        number += c;
    ::close(fds[0]);
    if (number.empty() || c != '\n') {
        error_ = "Xvfb did not start";
        return false;
    }
    display_ = ":" + number;
    const UniqueFd null(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    tray_ = Spawn({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                   "--height", "24", "--SetDockType", "true"},
                  {"DISPLAY=" + display_}, null.get());
    if (!WaitFor([this] { return TrayOwned(display_) && TrayArea(); }, timeout, 100ms)) {
        error_ = "trayer did not take the tray";
        return false;
    }
    return true;
}

std::vector<ScreenWindow> DesktopSession::WindowsOf(pid_t pid) const {
    // One run of xdotool: the geometry of each window (six lines), then each one's title.
    std::istringstream out(
        Run({"xdotool", "search", "--all", "--onlyvisible", "--pid", std::to_string(pid), "--name",
             "", "getwindowgeometry", "--shell", "%@", "getwindowname", "%@"})
            .value_or(""));
    std::vector<ScreenWindow> windows;
    std::string line;
    while (std::getline(out, line) && line.starts_with("WINDOW=")) {
        ScreenWindow& w = windows.emplace_back();
        w.id = std::stoul(line.substr(7));
        int screen = 0;
        for (int* field : {&w.x, &w.y, &w.width, &w.height, &screen}) {
            std::getline(out, line);
            *field = std::atoi(line.c_str() + line.find('=') + 1);
        }
    }
    for (ScreenWindow& w : windows) {
        w.title = line;
        std::getline(out, line);
    }
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

std::optional<ScreenWindow> DesktopSession::TrayArea() const {
    for (const ScreenWindow& w : WindowsOf(tray_)) {
        if (w.title == "panel")
            return w;
    }
    return std::nullopt;
}

std::optional<ScreenWindow> DesktopSession::WaitForTrayIcon(
    pid_t pid, std::chrono::milliseconds timeout) const {
    return WaitForWindow(
        pid,
        [this](const ScreenWindow& w) {
            const auto area = TrayArea();
            return area && w.width > 0 && w.Inside(*area);
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

void DesktopSession::Key(const std::string& keys) const {
    Run({"xdotool", "key", keys});
}

unsigned long DesktopSession::FocusedWindow() const {
    return std::stoul(Run({"xdotool", "getwindowfocus", "-f"}).value_or("0"));
}

QImage DesktopSession::Grab(const ScreenWindow& part) const {
    ::Display* x = XOpenDisplay(display_.c_str());
    if (!x)
        return {};
    XImage* image =
        XGetImage(x, DefaultRootWindow(x), part.x, part.y, static_cast<unsigned>(part.width),
                  static_cast<unsigned>(part.height), AllPlanes, ZPixmap);
    QImage out;
    if (image && image->bits_per_pixel == 32) {
        out = QImage(reinterpret_cast<const uchar*>(image->data), part.width, part.height,
                     image->bytes_per_line, QImage::Format_RGB32)
                  .copy();
    }
    if (image)
        XDestroyImage(image);
    XCloseDisplay(x);
    return out;
}

std::optional<std::string> DesktopSession::Run(const std::vector<std::string>& argv) const {
    std::string command = "DISPLAY=" + display_;
    for (const std::string& a : argv)
        command += " '" + a + "'";  // no argument holds a quote
    FILE* out = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (!out)
        return std::nullopt;
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;)
        text.append(buffer, n);
    if (::pclose(out) != 0)
        return std::nullopt;
    return text;
}

}  // namespace vgx::test
