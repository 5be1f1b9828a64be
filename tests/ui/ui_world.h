#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <deque>
#include <memory>
#include <vector>

#include "app/engine.h"
#include "fakes.h"
#include "service/service_control.h"
#include "support/recording_systemctl.h"
#include "support/temp_dir.h"
#include "ui/app_windows.h"
#include "ui/qt_event_loop.h"
#include "ui/settings/config_section.h"
#include "ui/settings/extras_section.h"
#include "ui/settings/folders_section.h"
#include "ui/settings/guarded_check_box.h"
#include "ui/settings/iis_section.h"
#include "ui/settings/internet_section.h"
#include "ui/settings/main_window.h"
#include "ui/widgets/owner_draw_button.h"

namespace vgx::test {

// The program's windows on an engine in a temporary program directory: the real clock and
// Qt's event loop, a power control, process runner and systemctl that only record, and either
// fake probes or the real ones (for tests that reach 127.0.0.1 or a namespace of their own).
// Every question and notice is
// recorded and answered from `answers` (No when they run out), from the loop.
struct UiWorld {
    explicit UiWorld(bool realNetwork = false, std::uint16_t httpPort = 80) {
        std::filesystem::create_directory(dir / "units");
        if (realNetwork) {
            realIcmp = MakeSystemIcmpSender(loop);
            realResolver = MakeSystemResolver(loop);
            realHttp = MakeCurlHttpClient(loop, httpPort, std::chrono::seconds(2),
                                          std::chrono::seconds(3));
        }
        engine = std::make_unique<Engine>(dir.path(),
                                          EnginePorts{clock, loop, power, runner, windows,
                                                      realIcmp ? *realIcmp : fakeIcmp,
                                                      realResolver ? *realResolver : fakeResolver,
                                                      realHttp ? *realHttp : fakeHttp});
        windows.messageSeam = [this](const Prompt& p) { return prompts.Next(p); };
        windows.trayAvailable = [this] { return trayArea; };
        engine->Load(32);
        windows.Attach(*engine, &service);
    }
    ~UiWorld() { windows.Release(); }

    MainWindow& Main() { return *windows.Main(); }
    SettingsModel& Settings() { return engine->Settings(); }
    std::string File(const std::string& name) const { return ReadFile(dir / name); }
    // "Title: text" of the questions and notices so far, and forgets them; answers given
    // before are delivered first.
    std::vector<std::string> TakeAsked() {
        Settle();
        return std::exchange(prompts.messages, {});
    }
    // Lets the loop deliver what is due now (answers, a menu's choice).
    static void Settle() { QTest::qWait(30); }
    // Shows `window` and makes it the active one.
    static bool Activated(QWidget* window) {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
    }

    TempDir dir;
    SystemClock clock;
    QtEventLoop loop;
    FakeClock fakeClock;
    FakePower power;
    FakeRunner runner{loop};
    RecordingSystemctl systemctl;
    ServiceControl service{dir / "units", dir / "vigiaxd", systemctl, systemctl};
    bool trayArea = false;
    FakeIcmp fakeIcmp{loop, fakeClock};
    FakeResolver fakeResolver{loop};
    FakeHttp fakeHttp{loop};
    std::unique_ptr<IcmpSender> realIcmp;
    std::unique_ptr<Resolver> realResolver;
    std::unique_ptr<HttpClient> realHttp;
    AppWindows windows;
    std::unique_ptr<Engine> engine;
    FakeWindows prompts{loop};
    std::deque<PromptAnswer>& answers = prompts.answers;
};

}  // namespace vgx::test
