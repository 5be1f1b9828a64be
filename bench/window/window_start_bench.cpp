// Start time and memory of the program's settings window against a bare Qt Widgets program that
// shows one frameless window of the same size (vgx_bench_bare_window), both on the same bare X
// display. The start time runs from the fork to the window's map on the display; the memory is
// read a second later: the resident set, and the anonymous part of it (the heap and the other
// memory the program allocated itself). The two programs take turns; the medians over the runs
// give the ratios. Another pair of programs can be compared in the same way.
// Usage: vgx_bench_window [runs (10)] [program peer]
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "desktop_session.h"
#include "support/temp_dir.h"

// Xlib after Qt's headers: its macros (Status, Bool, ...) would break them.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Sample {
    double startMs = 0;
    double rssKb = 0;
    double anonKb = 0;
};

pid_t Spawn(const std::string& exe, const std::filesystem::path& dir, const std::string& display) {
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    if (::chdir(dir.c_str()) != 0)
        ::_exit(126);
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    ::setenv("DISPLAY", display.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
}

// The pid a client wrote on its window, or 0.
long WindowPid(Display* x, Window w) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(x, w, XInternAtom(x, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                           &type, &format, &count, &after, &data) == Success &&
        data != nullptr && count == 1) {
        pid = *reinterpret_cast<long*>(data);
    }
    if (data)
        XFree(data);
    return pid;
}

// Waits for a top-level window of `pid` at least `minWidth` wide to be mapped.
bool WaitForMap(Display* x, pid_t pid, int minWidth, Clock::time_point end) {
    const int fd = ConnectionNumber(x);
    while (Clock::now() < end) {
        while (XPending(x) > 0) {
            XEvent e;
            XNextEvent(x, &e);
            if (e.type != MapNotify || e.xmap.override_redirect)
                continue;
            XWindowAttributes a{};
            if (XGetWindowAttributes(x, e.xmap.window, &a) && a.width >= minWidth &&
                WindowPid(x, e.xmap.window) == pid)
                return true;
        }
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 50);
    }
    return false;
}

// A "Key:  value kB" line of a /proc file of `pid`.
long ProcKb(pid_t pid, const char* file, const std::string& key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + key.size());
    }
    return 0;
}

void Stop(pid_t pid) {
    ::kill(pid, SIGTERM);
    const auto end = Clock::now() + 5s;
    while (::waitpid(pid, nullptr, WNOHANG) == 0) {
        if (Clock::now() >= end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            return;
        }
        std::this_thread::sleep_for(20ms);
    }
}

std::optional<Sample> Measure(Display* x, const std::string& display, const std::string& exe,
                              const std::filesystem::path& dir, int minWidth) {
    XSync(x, True);  // drop the events of earlier runs
    const auto started = Clock::now();
    const pid_t pid = Spawn(exe, dir, display);
    std::optional<Sample> sample;
    if (WaitForMap(x, pid, minWidth, started + 30s)) {
        Sample s;
        s.startMs = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
        std::this_thread::sleep_for(1s);
        s.rssKb = static_cast<double>(ProcKb(pid, "status", "VmRSS:"));
        s.anonKb = static_cast<double>(ProcKb(pid, "smaps_rollup", "Anonymous:"));
        sample = s;
    }
    Stop(pid);
    return sample;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Series {
    std::vector<double> startMs, rssKb, anonKb;
    void Add(const Sample& s) {
        startMs.push_back(s.startMs);
        rssKb.push_back(s.rssKb);
        anonKb.push_back(s.anonKb);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const bool ownPair = argc > 3;
    const std::string programName = ownPair ? argv[2] : "vigiax (settings window)";
    const std::string peerName = ownPair ? argv[3] : "bare Qt Widgets, one frameless window";
    const std::string peer = ownPair ? argv[3] : VGX_PEER;

    vgx::test::DesktopSession desktop;
    if (!desktop.Start()) {
        std::fprintf(stderr, "vgx_bench_window: %s\n", desktop.Error().c_str());
        return 1;
    }
    Display* x = XOpenDisplay(desktop.Display().c_str());
    if (x == nullptr)
        return 1;
    XSelectInput(x, DefaultRootWindow(x), SubstructureNotifyMask);

    // The program in a program directory of its own, started once before the runs so that each
    // run finds its settings and pictures as a usual start does.
    vgx::test::TempDir dir;
    const std::filesystem::path program = dir / "vigiax";
    std::filesystem::copy_file(ownPair ? argv[2] : VGX_PROGRAM, program);
    constexpr int kMinWidth = 400;
    Series vigiax, bare;
    bool ok = Measure(x, desktop.Display(), program, dir.path(), kMinWidth) &&
              Measure(x, desktop.Display(), peer, dir.path(), kMinWidth);
    for (int i = 0; ok && i < runs; ++i) {
        const auto v = Measure(x, desktop.Display(), program, dir.path(), kMinWidth);
        const auto b = Measure(x, desktop.Display(), peer, dir.path(), kMinWidth);
        ok = v && b;
        if (ok) {
            vigiax.Add(*v);
            bare.Add(*b);
        }
    }
    XCloseDisplay(x);
    if (!ok) {
        std::fprintf(stderr, "vgx_bench_window: a window did not show within 30 s\n");
        return 1;
    }

    std::printf("window start and memory, medians of %d runs each (Xvfb %s)\n", runs,
                desktop.Display().c_str());
    const auto line = [](const std::string& name, const Series& s) {
        std::printf("  %-38s start %7.1f ms, RSS %6.0f kB, anonymous %6.0f kB\n", name.c_str(),
                    Median(s.startMs), Median(s.rssKb), Median(s.anonKb));
    };
    line(programName, vigiax);
    line(peerName, bare);
    std::printf(
        "%s: start x%.2f (aim <= 1.5), memory x%.2f (aim <= 1.3), anonymous x%.2f\n",
        ownPair ? "program / peer" : "vigiax / bare", Median(vigiax.startMs) / Median(bare.startMs),
        Median(vigiax.rssKb) / Median(bare.rssKb), Median(vigiax.anonKb) / Median(bare.anonKb));
    return 0;
}
