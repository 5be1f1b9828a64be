// How late a 10 ms repeating timer runs on the event loop while the engine runs one cycle against
// (a) a web server on 127.0.0.1 that accepts and never answers, and (b) two silent ping addresses
// in network namespaces of its own (root only), beside the same loop idle for as long. On the
// daemon's loop (sd-event) and the desktop's (Qt). Prints the worst lateness of each, the
// ratio against the idle loop and whether it stays under the 50 ms aim.
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

#include "app/engine.h"
#include "app/engine_builder.h"
#include "daemon/sd_event_loop.h"
#include "records/file_io.h"
#include "records/settings_file.h"
#include "records/unique_fd.h"
#include "service/headless_windows.h"
#include "support/netns_pair.h"
#include "support/temp_dir.h"
#include "support/tiny_http_server.h"
#include "ui/qt_event_loop.h"

namespace {

using namespace std::chrono_literals;
using vgx::MonoClock;

struct NoRestart final : vgx::PowerControl {
    bool EnableShutdownPrivilege() override { return true; }
    void RestartComputer() override {}
};

// A loop to measure: the port, and how to run it until asked to stop.
struct Runner {
    vgx::EventLoop& loop;
    std::function<void()> run;
    std::function<void()> stop;
};

// The worst lateness of a 10 ms timer over `span`, while `work` runs (started first: the
// engine's start-up, which writes its files, is not part of a cycle).
std::chrono::microseconds WorstLateness(Runner& r, std::chrono::milliseconds span,
                                        const std::function<void()>& work) {
    if (work)
        work();
    std::chrono::microseconds worst{0};
    MonoClock::time_point due = r.loop.Now() + 10ms;
    vgx::LoopHandle tick;
    std::function<void()> arm = [&] {
        tick = r.loop.At(due, [&] {
            worst = std::max(
                worst, std::chrono::duration_cast<std::chrono::microseconds>(r.loop.Now() - due));
            due = std::max(due + 10ms, r.loop.Now());
            arm();
        });
    };
    arm();
    const vgx::LoopHandle end = r.loop.After(span, [&] { r.stop(); });
    r.run();
    return worst;
}

// One cycle of the engine with the checks of `configure`, in a program folder of its own; says
// whether the cycle ran to its end within `span`.
std::chrono::microseconds DuringCycle(Runner& r, std::uint16_t port,
                                      const std::function<void(vgx::Settings&)>& configure,
                                      std::chrono::milliseconds span, bool& ended) {
    vgx::test::TempDir dir;
    vgx::Settings s;
    s.DelayMinutes = 0;
    configure(s);
    vgx::ReplaceFileContents(dir / "vgx.cfg", vgx::FormatSettingsFile(s, {}));
    NoRestart power;
    vgx::SystemParts parts(r.loop, {&power, port});
    vgx::HeadlessWindows windows(r.loop);
    vgx::Engine engine(dir.path(), parts.Ports(windows));
    const auto worst = WorstLateness(r, span, [&] { engine.Load(); });
    ended = engine.Dog().Counts().lastCycleEnd.has_value();
    return worst;
}

void Report(const char* loop, const char* what, std::chrono::microseconds worst,
            std::chrono::microseconds idle, bool ended = true) {
    std::printf("%-8s %-36s worst lateness %8.1f ms   ratio to idle %6.2f   aim <50 ms: %s%s\n",
                loop, what, static_cast<double>(worst.count()) / 1000.0,
                idle.count() > 0
                    ? static_cast<double>(worst.count()) / static_cast<double>(idle.count())
                    : 0.0,
                worst < 50ms ? "met" : "MISSED", ended ? "" : "   (the cycle did not end!)");
    std::fflush(stdout);
}

// Each measurement on a fresh loop from `make`.
void Measure(const char* name, const std::function<std::unique_ptr<Runner>()>& make) {
    const std::chrono::microseconds idle = [&] {
        auto r = make();
        return WorstLateness(*r, 32s, {});
    }();
    Report(name, "idle, 32 s", idle, idle);

    vgx::test::TinyServer silent("");  // accepts, never answers
    bool ended = false;
    auto webLoop = make();
    const auto web = DuringCycle(
        *webLoop, silent.port(),
        [](vgx::Settings& s) {
            s.WebCheckEnabled = 1;
            s.WebPage = "127.0.0.1/";
        },
        32s, ended);
    Report(name, "web server that never answers, 32 s", web, idle, ended);

    if (const std::string why = vgx::test::NetnsPair::Unavailable(); !why.empty()) {
        std::printf("%-8s silent ping addresses: skipped (%s)\n", name, why.c_str());
        return;
    }
    vgx::test::NetnsPair pair;
    const vgx::UniqueFd home(::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC));
    const vgx::UniqueFd inside(
        ::open(("/var/run/netns/" + pair.a()).c_str(), O_RDONLY | O_CLOEXEC));
    ::setns(inside.get(), CLONE_NEWNET);
    auto pingLoop = make();
    const auto ping = DuringCycle(
        *pingLoop, 80,
        [&](vgx::Settings& s) {
            s.NetCheckEnabled = 1;
            s.NetAddress1 = pair.Address(3);  // nobody holds these on the link
            s.NetAddress2 = pair.Address(4);
        },
        23s, ended);
    ::setns(home.get(), CLONE_NEWNET);
    Report(name, "two silent ping addresses, 23 s", ping, idle, ended);
}

// A runner that owns its loop.
template <class Loop>
struct Owned : Runner {
    template <class... Args>
    explicit Owned(std::unique_ptr<Loop> l, Args&&... args)
        : Runner{*l, std::forward<Args>(args)...}, loop(std::move(l)) {}
    std::unique_ptr<Loop> loop;
};

}  // namespace

int main(int argc, char** argv) {
    Measure("sd-event", [] {
        auto sd = std::make_unique<vgx::SdEventLoop>();
        vgx::SdEventLoop* raw = sd.get();
        return std::make_unique<Owned<vgx::SdEventLoop>>(
            std::move(sd), [raw] { raw->Run(); }, [raw] { raw->Exit(0); });
    });
    QCoreApplication app(argc, argv);
    Measure("Qt", [] {
        return std::make_unique<Owned<vgx::QtEventLoop>>(
            std::make_unique<vgx::QtEventLoop>(), [] { QCoreApplication::exec(); },
            [] { QCoreApplication::quit(); });
    });
    return 0;
}
