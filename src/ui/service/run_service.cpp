#include "ui/service/run_service.h"

#include <signal.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/engine.h"
#include "app/engine_builder.h"
#include "app/platform_check.h"
#include "service/instance_lock.h"
#include "service/service_events.h"
#include "service/service_unit.h"
#include "ui/copies/watchdog_host.h"
#include "ui/qt_event_loop.h"
#include "ui/service/headless_windows.h"
#include "ui/signal_bridge.h"

namespace vgx {

namespace {

using namespace std::chrono;

// A quarter of the service manager's interval.
milliseconds KeepAliveEvery(microseconds watchdog) {
    return std::max(duration_cast<milliseconds>(watchdog / 4), milliseconds(1));
}

}  // namespace

bool IsServiceStart(int argc, char** argv) {
    return std::any_of(argv + std::min(argc, 1), argv + argc,
                       [](const char* a) { return std::strcmp(a, kServiceOption) == 0; });
}

int RunService(int argc, char** argv, const ProgramOptions& options) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vigiax"));
    if (!IsSupportedPlatform()) {
        std::fprintf(stderr, "vigiax: %s\n", kUnsupportedPlatformMessage);
        return 1;
    }

    const auto notifier = MakeSystemdNotifier();
    const auto systemLog = MakeSyslog();
    const auto watchdog = SystemdWatchdogInterval();

    QtEventLoop loop;
    SystemParts parts(loop, options.engine);
    HeadlessWindows windows(loop);
    PublishingWindows published(windows);
    const std::filesystem::path dir = ProgramDirectory(DataDirOption(argc, argv));
    Engine program(dir, parts.Ports(published));
    ServiceEvents service(ServiceEventPorts{program, published, *systemLog, *notifier});

    // Keep-alives go on while paused, waiting for the lock, and while a check waits.
    QTimer keepAlive;
    QObject::connect(&keepAlive, &QTimer::timeout, [&notifier] { notifier->Notify("WATCHDOG=1"); });
    if (watchdog)
        keepAlive.start(KeepAliveEvery(*watchdog));

    const auto stop = [&service] {
        service.Stopping();
        QCoreApplication::quit();
    };
    // One watchdog per program directory: this copy runs it once it holds the lock; while a
    // desktop copy holds it, this one waits (ready for the service manager, keeping alive).
    std::optional<InstanceLock> lock;
    std::unique_ptr<WatchdogHost> host;
    QTimer waitForLock;
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
    const auto tryLock = [&] {
        LockAttempt attempt = InstanceLock::Take(dir);
        if (attempt.result == LockResult::HeldElsewhere)
            return false;
        lock = std::move(attempt.lock);
        waitForLock.stop();
        begin(attempt);
        return true;
    };
    // Pause and continue mean nothing until the watchdog runs: its timers must not start early.
    SignalBridge requests({{SIGUSR1,
                            [&] {
                                if (running)
                                    service.Paused();
                            }},
                           {SIGUSR2,
                            [&] {
                                if (running)
                                    service.Continued();
                            }},
                           {SIGTERM, stop},
                           {SIGINT, stop}});
    if (!tryLock()) {
        notifier->Notify(std::string("READY=1\nSTATUS=") + kStatusWaitingForLock);
        QObject::connect(&waitForLock, &QTimer::timeout, tryLock);
        waitForLock.start(2000);
    }
    const int rc = QCoreApplication::exec();
    published.SetHost(nullptr);
    keepAlive.stop();
    program.Unload();
    return rc;
}

}  // namespace vgx
