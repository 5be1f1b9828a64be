#include "desktop_session.h"

#include <QImage>

// After Qt: Xlib defines macros (None, Bool, Status) that Qt's headers would trip on.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <sstream>
#include <thread>

namespace vgx::test {
namespace {

using Clock = std::chrono::steady_clock;

// Starts `argv` with DISPLAY set (when given), standard input and error on /dev/null, and
// standard output on `out` (or /dev/null). `keep` stays open in the child.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& display, int out = -1,
            int keep = -1) {
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, STDIN_FILENO);
    ::dup2(out >= 0 ? out : null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    for (int fd = 3; fd < 1024; ++fd) {
        if (fd != keep)
            ::close(fd);
    }
    if (!display.empty())
        ::setenv("DISPLAY", display.c_str(), 1);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
}

void Stop(pid_t& pid) {
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    const auto end = Clock::now() + std::chrono::seconds(3);
    while (::waitpid(pid, nullptr, WNOHANG) == 0) {
        if (Clock::now() >= end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid = -1;
}

bool Poll(const std::function<bool()>& ready, std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    while (!ready()) {
        if (Clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

std::vector<unsigned long> Ids(const std::optional<std::string>& text) {
    std::vector<unsigned long> ids;
    std::istringstream in(text.value_or(""));
    for (unsigned long id; in >> id;)
        ids.push_back(id);
    return ids;
}

}  // namespace

DesktopSession::~DesktopSession() {
    Stop(tray_);
    Stop(xvfb_);
}

bool DesktopSession::Start(int width, int height, std::chrono::milliseconds timeout) {
    int fds[2];
    if (::pipe(fds) != 0) {
        error_ = "pipe failed";
        return false;
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    // Xvfb picks a free display number itself and writes it to the pipe once it listens.
    xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                   "-nolisten", "tcp", "-noreset"},
                  "", -1, fds[1]);
    ::close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    const auto end = Clock::now() + timeout;
    char c = 0;
    while (Clock::now() < end && ::poll(&p, 1, 100) >= 0) {
        if (!(p.revents & (POLLIN | POLLHUP)))
            continue;
        if (::read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    ::close(fds[0]);
    if (number.empty() || c != '\n') {
        error_ = "Xvfb did not start";
        return false;
    }
    display_ = ":" + number;
    return StartTray(timeout);
}

std::vector<std::string> DesktopSession::Env() const {
    return {"DISPLAY=" + display_, "QT_QPA_PLATFORM=xcb"};
}

bool DesktopSession::TrayAvailable() const {
    ::Display* x = XOpenDisplay(display_.c_str());
    if (!x)
        return false;
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(x));
    const bool owned = XGetSelectionOwner(x, XInternAtom(x, name.c_str(), False)) != None;
    XCloseDisplay(x);
    return owned;
}

void DesktopSession::StopTray() {
    Stop(tray_);
}

bool DesktopSession::StartTray(std::chrono::milliseconds timeout) {
    tray_ = Spawn({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                   "--height", "24", "--SetDockType", "true"},
                  display_);
    if (!Poll([this] { return TrayAvailable() && TrayArea(); }, timeout)) {
        error_ = "trayer did not take the tray";
        return false;
    }
    return true;
}

std::optional<ScreenWindow> DesktopSession::TrayArea() const {
    const auto ids = Ids(Run({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(tray_),
                              "--classname", "^panel$"}));
    return ids.empty() ? std::nullopt : Geometry(ids.front());
}

std::vector<ScreenWindow> DesktopSession::WindowsOf(pid_t pid) const {
    std::vector<ScreenWindow> windows;
    for (unsigned long id :
         Ids(Run({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(pid)}))) {
        if (auto w = Geometry(id))
            windows.push_back(*w);
    }
    return windows;
}

std::optional<ScreenWindow> DesktopSession::WaitForTrayIcon(
    pid_t pid, std::chrono::milliseconds timeout) const {
    std::optional<ScreenWindow> icon;
    Poll(
        [&] {
            const auto area = TrayArea();
            if (!area)
                return false;
            for (const ScreenWindow& w : WindowsOf(pid)) {
                if (w.width > 0 && w.Inside(*area))
                    icon = w;
            }
            return icon.has_value();
        },
        timeout);
    return icon;
}

std::optional<ScreenWindow> DesktopSession::WaitForNewWindow(
    pid_t pid, const std::set<unsigned long>& known, std::chrono::milliseconds timeout) const {
    std::optional<ScreenWindow> found;
    Poll(
        [&] {
            for (const ScreenWindow& w : WindowsOf(pid)) {
                if (!known.contains(w.id))
                    found = w;
            }
            return found.has_value();
        },
        timeout);
    return found;
}

void DesktopSession::Click(int x, int y, int button, int count) const {
    Run({"xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y), "click",
         "--repeat", std::to_string(count), "--delay", "80", std::to_string(button)});
}

void DesktopSession::Key(const std::string& keys) const {
    Run({"xdotool", "key", keys});
}

bool DesktopSession::Screenshot(const std::filesystem::path& png) const {
    return Screenshot(png, ScreenWindow{});
}

bool DesktopSession::Screenshot(const std::filesystem::path& png, const ScreenWindow& part) const {
    const QImage image = Grab(part);
    return !image.isNull() && image.save(QString::fromStdString(png.string()), "PNG");
}

QImage DesktopSession::Grab(const ScreenWindow& part) const {
    ::Display* x = XOpenDisplay(display_.c_str());
    if (!x)
        return {};
    const Window root = DefaultRootWindow(x);
    XWindowAttributes attributes{};
    XGetWindowAttributes(x, root, &attributes);
    ScreenWindow area = part;
    if (area.width <= 0 || area.height <= 0)
        area = ScreenWindow{0, 0, 0, attributes.width, attributes.height};
    XImage* image = XGetImage(x, root, area.x, area.y, static_cast<unsigned>(area.width),
                              static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    QImage out;
    if (image) {
        out = QImage(area.width, area.height, QImage::Format_RGB32);
        for (int row = 0; row < area.height; ++row) {
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(row));
            for (int col = 0; col < area.width; ++col)
                line[col] = 0xff000000u | (XGetPixel(image, col, row) & 0xffffffu);
        }
        XDestroyImage(image);
    }
    XCloseDisplay(x);
    return out;
}

unsigned long DesktopSession::FocusedWindow() const {
    ::Display* x = XOpenDisplay(display_.c_str());
    if (!x)
        return 0;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(x, &focus, &revert);
    XCloseDisplay(x);
    return focus == PointerRoot ? 0 : focus;
}

std::optional<std::string> DesktopSession::Run(const std::vector<std::string>& argv) const {
    int fds[2];
    if (::pipe(fds) != 0)
        return std::nullopt;
    const pid_t pid = Spawn(argv, display_, fds[1]);
    ::close(fds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return out;
}

std::optional<ScreenWindow> DesktopSession::Geometry(unsigned long id) const {
    const auto text = Run({"xdotool", "getwindowgeometry", "--shell", std::to_string(id)});
    if (!text)
        return std::nullopt;
    ScreenWindow w{id};
    std::istringstream in(*text);
    for (std::string line; std::getline(in, line);) {
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq);
        const int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X")
            w.x = value;
        else if (key == "Y")
            w.y = value;
        else if (key == "WIDTH")
            w.width = value;
        else if (key == "HEIGHT")
            w.height = value;
    }
    return w;
}

}  // namespace vgx::test
