#include "ui/service/run_service.h"

#include <signal.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/engine.h"
#include "app/platform_check.h"
#include "app/system_ports.h"
#include "service/instance_lock.h"
#include "service/keep_alive_runner.h"
#include "service/service_events.h"
#include "service/service_unit.h"
#include "ui/copies/watchdog_host.h"
#include "ui/engine_timers.h"
#include "ui/qt_event_pump.h"
#include "ui/service/headless_windows.h"
#include "ui/signal_bridge.h"

namespace vgx {

namespace {

using namespace std::chrono;

std::filesystem::path ProgramDirectory() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path() : exe.parent_path();
}

// A quarter of the service manager's interval: a blocking step that begins just before a
// keep-alive is due still ends in time (see kWatchdogSeconds).
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
    const milliseconds every = watchdog ? KeepAliveEvery(*watchdog) : milliseconds(30000);
    ServiceEvents* events = nullptr;

    SystemClock clock;
    QtEventPump pump;
    const auto realPower = MakeSystemPowerControl();
    PowerControl& power = options.power ? *options.power : *realPower;
    KeepAliveProcessRunner runner(
        [&events, &watchdog] {
            if (events && watchdog)
                events->KeepAlive();
        },
        every);
    HeadlessWindows windows;
    PublishingWindows published(windows);
    Engine* engine = nullptr;
    EngineTimers timers(engine);
    const auto icmp = MakeSystemIcmpSender();
    const auto resolver = MakeSystemResolver();
    const auto http = MakeCurlHttpClient(options.httpPort);

    const std::filesystem::path dir = ProgramDirectory();
    Engine program(
        dir, EnginePorts{clock, pump, power, runner, published, timers, *icmp, *resolver, *http});
    engine = &program;
    windows.Attach(program.Dog());
    ServiceEvents service(ServiceEventPorts{program, timers, published, *systemLog, *notifier});
    events = &service;

    // Keep-alives go on while paused and while a cycle pumps events.
    QTimer keepAlive;
    QObject::connect(&keepAlive, &QTimer::timeout, [&service] { service.KeepAlive(); });
    if (watchdog)
        keepAlive.start(every);

    const auto stop = [&service] {
        service.NTService_Stop();
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
        program.Form_Load();
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
        service.NTService_Start();
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
                                    service.NTService_Pause();
                            }},
                           {SIGUSR2,
                            [&] {
                                if (running)
                                    service.NTService_Continue();
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
    events = nullptr;
    engine = nullptr;
    program.Form_Unload();
    return rc;
}

}  // namespace vgx
