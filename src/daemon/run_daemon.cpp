#include "daemon/run_daemon.h"

#include <signal.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "app/engine.h"
#include "app/platform_check.h"
#include "daemon/sd_event_loop.h"
#include "service/headless_windows.h"
#include "service/instance_lock.h"
#include "service/service_events.h"
#include "service/watchdog_host.h"

namespace vgx {

namespace {

using namespace std::chrono_literals;

// While another copy holds the lock, this one looks again this often.
constexpr auto kLockRetry = 2s;

}  // namespace

int RunDaemon(int argc, char** argv, const EngineOptions& options) {
    if (!IsSupportedPlatform()) {
        std::fprintf(stderr, "vigiaxd: %s\n", kUnsupportedPlatformMessage);
        return 1;
    }
    SdEventLoop loop;
    if (!loop.Ok()) {
        std::fprintf(stderr, "vigiaxd: sd-event\n");
        return 1;
    }
    const auto notifier = MakeSystemdNotifier();
    const auto systemLog = MakeSyslog();
    // Keep-alives go on while paused, waiting for the lock, and while a check waits.
    loop.KeepServiceManagerInformed();

    SystemParts parts(loop, options);
    HeadlessWindows windows(loop);
    PublishingWindows published(windows);
    const std::filesystem::path dir = ProgramDirectory(DataDirOption(argc, argv));
    Engine program(dir, parts.Ports(published));
    // Metrics for Prometheus: where asked, else in node_exporter's folder when it is installed.
    std::filesystem::path metrics = MetricsDirOption(argc, argv).value_or("");
    if (!MetricsDirOption(argc, argv)) {
        std::error_code ec;
        if (std::filesystem::is_directory(kNodeExporterTextfileDir, ec))
            metrics = kNodeExporterTextfileDir;
    }
    program.KeepMetrics(metrics);
    ServiceEvents service(ServiceEventPorts{program, published, *systemLog, *notifier});

    // One watchdog per program directory: this copy runs it once it holds the lock; while
    // another live copy holds it, this one waits (ready for the service manager, keeping alive).
    std::optional<InstanceLock> lock;
    std::unique_ptr<WatchdogHost> host;
    LoopHandle waitForLock;
    bool running = false;
    const auto begin = [&](const LockAttempt& attempt) {
        running = true;
        program.Load();
        if (attempt.result == LockResult::Unavailable) {
            const std::string why = LockUnavailableMessage(attempt.why);
            program.Log().WriteLog(why);
            LogEvent(*systemLog, kEventError, 1, why);
        }
        // The channel's socket belongs to the lock's holder.
        if (lock) {
            host = std::make_unique<WatchdogHost>(program, dir);
            published.SetHost(host.get());
        }
        service.Started();
    };
    // Only another live copy holding the lock makes this one wait; a lock that cannot be taken
    // at all leaves this copy to watch, unlocked.
    std::function<void()> tryLock = [&] {
        LockAttempt attempt = InstanceLock::Take(dir);
        if (attempt.result == LockResult::HeldElsewhere) {
            waitForLock = loop.After(kLockRetry, tryLock);
            return;
        }
        lock = std::move(attempt.lock);
        begin(attempt);
    };
    const auto stop = [&] {
        service.Stopping();
        loop.Exit(0);
    };
    // Pause and continue mean nothing until the watchdog runs: its timers must not start early.
    std::vector<LoopHandle> signals;
    signals.push_back(loop.Signal(SIGUSR1, [&] {
        if (running)
            service.Paused();
    }));
    signals.push_back(loop.Signal(SIGUSR2, [&] {
        if (running)
            service.Continued();
    }));
    signals.push_back(loop.Signal(SIGTERM, stop));
    signals.push_back(loop.Signal(SIGINT, stop));

    tryLock();
    if (!running)
        notifier->Notify(std::string("READY=1\nSTATUS=") + kStatusWaitingForLock);
    const int rc = loop.Run();
    published.SetHost(nullptr);
    host.reset();
    program.Unload();
    return rc < 0 ? 1 : rc;
}

}  // namespace vgx
