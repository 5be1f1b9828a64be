#include "ui/run_vigiax.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <cstdlib>
#include <filesystem>

#include "app/engine.h"
#include "app/engine_builder.h"
#include "app/platform_check.h"
#include "service/instance_lock.h"
#include "service/service_control.h"
#include "service/watchdog_host.h"
#include "ui/app_windows.h"
#include "ui/copies/face_link.h"
#include "ui/message_box.h"
#include "ui/qt_event_loop.h"
#include "ui/quit_signals.h"
#include "ui/translations.h"

namespace vgx {

namespace {

// The platforms to try, in order: the desktop's own, and offscreen when its display cannot be
// opened (a stale DISPLAY would otherwise abort the program) or there is none.
const char* PlatformsToTry() {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* x = std::getenv("DISPLAY");
    if (wayland && *wayland)
        return "wayland;xcb;offscreen";
    if (x && *x)
        return "xcb;offscreen";
    return "offscreen";
}

// Bits per pixel of the display; no display counts as 32.
int DisplayDepth() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (QGuiApplication::platformName() == QLatin1String("offscreen") || screen == nullptr) {
        return 32;
    }
    return screen->depth();
}

}  // namespace

int RunVigiax(int argc, char** argv, const ProgramOptions& options) {
    // On a server without a display the program runs on Qt's offscreen platform.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        ::setenv("QT_QPA_PLATFORM", PlatformsToTry(), 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vigiax"));
    QApplication::setQuitOnLastWindowClosed(false);
    InstallPortugueseTranslations(app);

    if (!IsSupportedPlatform()) {
        const LoopHandle box = OpenPromptBox(ErrorMessage(kUnsupportedPlatformMessage), nullptr,
                                             [](PromptAnswer) { QApplication::quit(); });
        QApplication::exec();
        return 1;
    }

    QtEventLoop loop;
    SystemParts parts(loop, options.engine);
    AppWindows windows;
    const auto realSystemctl = MakeSystemCommandRunner();
    const auto systemLog = MakeSyslog();
    // The packaged copy enables the unit its package ships; a copy run from its own folder
    // writes one.
    const std::filesystem::path daemon = ExecutablePath().parent_path() / options.daemonName;
    const bool shipped =
        options.unitDir.empty() &&
        UnitStarts(std::filesystem::path(kShippedUnitDir) / kServiceUnitName, daemon);
    ServiceControl service(
        options.unitDir.empty() ? std::filesystem::path(shipped ? kShippedUnitDir : kSystemUnitDir)
                                : options.unitDir,
        daemon, options.systemctl ? *options.systemctl : *realSystemctl, *systemLog,
        shipped ? ServiceControl::Unit::Shipped : ServiceControl::Unit::Written);

    // One watchdog per program directory: the copy that takes the lock runs it; any other copy
    // is the face of that one.
    const std::filesystem::path dir = ProgramDirectory(DataDirOption(argc, argv));
    // Only a lock held by another live copy makes this one a face; a lock that cannot be taken
    // at all leaves this copy to watch, unlocked, and says why.
    const LockAttempt lock = InstanceLock::Take(dir);
    const bool runsWatchdog = lock.result != LockResult::HeldElsewhere;

    PublishingWindows published(windows);
    Engine program(dir, parts.Ports(published));
    program.KeepMetrics(MetricsDirOption(argc, argv).value_or(""));
    QuitSignals quit([&program] {
        program.Stop();
        QApplication::quit();
    });

    program.Load(DisplayDepth(), runsWatchdog ? Engine::Role::Watchdog : Engine::Role::Face);
    if (lock.result == LockResult::Unavailable)
        program.Log().WriteLog(LockUnavailableMessage(lock.why));
    std::unique_ptr<WatchdogHost> host;
    std::unique_ptr<FaceLink> face;
    if (runsWatchdog) {
        // The channel's socket belongs to the lock's holder.
        if (lock.lock) {
            host = std::make_unique<WatchdogHost>(program, dir);
            published.SetHost(host.get());
        }
        windows.Attach(program, &service);
    } else {
        face = std::make_unique<FaceLink>(program, windows, dir);
        windows.Attach(program, &service, face->Warning());
        face->Bind();
    }
    windows.Start();
    const int rc = QApplication::exec();
    program.Unload();
    published.SetHost(nullptr);
    windows.Release();
    return rc;
}

}  // namespace vgx
