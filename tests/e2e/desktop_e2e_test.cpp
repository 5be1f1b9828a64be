// The program on a bare X display with a notification-area host, driven with the pointer and
// the keyboard; restarts of the computer and systemctl commands are only recorded.
// - Alone, at its first start: to the tray with "X", the tray menu, the status panel, back to
//   the window, and quit.
// - Started beside the running service copy in one program directory, it is that copy's face:
//   the tray icon and the status panel show the service copy's failures, the service copy's
//   restart warning opens on the desktop and its cancel stops the restart, a check switched off
//   in the settings window is taken up by the service copy at once, a pause of the service
//   copy hides the panel and offers "&Start" in the tray until it continues, and when the
//   service copy ends the face says so and starts no watchdog of its own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "desktop_session.h"
#include "program_run.h"
#include "records/settings_model.h"
#include "support/temp_dir.h"
#include "support/tiny_http_server.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;
using namespace ::testing;

TEST(TrayE2E, FirstStartThenXPanelConfigAndQuitFromTheTray) {
    DesktopSession desktop;
    ASSERT_TRUE(desktop.Start()) << desktop.Error();
    TempDir dir;
    ProgramRun run(VGX_TEST_PROGRAM, dir.path());
    run.Start({}, desktop.Env());
    const auto toTray = [&] {
        const auto window = WaitForSettingsWindow(desktop, run.Pid(), 10s);
        desktop.Click(OnScreen(window.value_or(ScreenWindow{}), kTrayButton));
        return desktop.WaitForTrayIcon(run.Pid(), 10s);
    };

    auto icon = toTray();
    ASSERT_TRUE(icon) << "\"X\" puts the program in the tray";
    // The first start wrote the settings, the pictures and the log.
    EXPECT_THAT(ReadFile(dir / "vgx.cfg"),
                HasSubstr("\r\n\"" + FormatDate(DayOf(SystemClock().Now())) + "\"\r\n"));
    EXPECT_THAT(run.Log(), MatchesRegex("[0-9/]{10} [0-9:]{8}   INICIOU O SISTEMA\r\n"));
    for (const char* image : {"xp.dat", "xp2.dat", "menu.dat", "menu2.dat"})
        EXPECT_GT(std::filesystem::file_size(dir / image), 0u);
    EXPECT_TRUE(WaitFor([&] { return NamedWindows(desktop, run.Pid(), "Vigiax").size() == 1; }, 5s))
        << "only the icon is left";

    ASSERT_TRUE(desktop.OpenTrayMenu(run.Pid(), *icon)) << "no menu on a right click";
    desktop.Key("p");
    EXPECT_TRUE(WaitForNamedWindow(desktop, run.Pid(), "Painel", 5s))
        << "\"&Painel\" shows the status panel";

    ASSERT_TRUE(desktop.OpenTrayMenu(run.Pid(), *icon));
    desktop.Key("c");
    ASSERT_TRUE(WaitForSettingsWindow(desktop, run.Pid(), 5s)) << "\"&Config\" restores the window";
    EXPECT_TRUE(WaitFor([&] { return !desktop.WaitForTrayIcon(run.Pid(), 0s); }, 5s))
        << "and removes the icon";

    icon = toTray();
    ASSERT_TRUE(icon);
    ASSERT_TRUE(desktop.OpenTrayMenu(run.Pid(), *icon));
    desktop.Key("r");
    ASSERT_TRUE(WaitForNamedWindow(desktop, run.Pid(), "ATENÇÃO", 5s)) << "the quit question";
    desktop.Key("s");  // "&Sim"
    EXPECT_EQ(run.WaitExit(10s), std::optional<int>(0));

    // The quit's stop is the only systemctl command of the whole run.
    EXPECT_EQ(ReadFile(dir / "systemctl-calls.txt"), "systemctl stop vigiax.service \n");
    EXPECT_FALSE(std::filesystem::exists(dir / "restart-requests.txt"));
}

// The first cycle waits on a web server that takes the connection and never answers; the
// window answers the user meanwhile.
TEST(StallE2E, TheWindowAnswersWhileTheWebServerStalls) {
    DesktopSession desktop;
    ASSERT_TRUE(desktop.Start()) << desktop.Error();
    TempDir dir;
    TinyServer silent("");
    WriteWebCheck(dir.path());
    ProgramRun run(VGX_TEST_PROGRAM, dir.path());
    std::vector<std::string> env = desktop.Env();
    env.push_back(HttpPortEnv(silent.port()));
    run.Start({}, env);
    const auto window = WaitForSettingsWindow(desktop, run.Pid(), 10s);
    ASSERT_TRUE(window);
    ASSERT_TRUE(WaitFor([&] { return silent.Heads() == 1; }, 10s));
    desktop.Click(OnScreen(*window, kTrayButton));
    EXPECT_TRUE(desktop.WaitForTrayIcon(run.Pid(), 3s)) << "\"X\" answered during the wait";
    EXPECT_EQ(run.Logged("FALHA IIS"), 0) << "the page is still awaited";
    EXPECT_EQ(run.Stop(), std::optional<int>(0));
}

bool Red(QRgb p) {
    return qRed(p) - std::max(qGreen(p), qBlue(p)) > 80;
}
// The grey of the paused shield: darker than the tray's background, lighter than its outline.
bool Grey(QRgb p) {
    const auto [low, high] = std::minmax({qRed(p), qGreen(p), qBlue(p)});
    return high - low < 16 && low > 0x40 && high < 0xc8;
}
// The share of the image's pixels of that colour.
double Share(const QImage& image, bool (*colour)(QRgb)) {
    long n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += colour(image.pixel(x, y));
    return image.isNull() ? 0 : double(n) / (image.width() * image.height());
}

TEST(FaceE2E, FollowsCancelsTheRestartAndSwitchesTheCheckOffInTheRunningCopy) {
    DesktopSession desktop;
    ASSERT_TRUE(desktop.Start()) << desktop.Error();
    TempDir dir;
    // The face starts in the tray with its panel; the service copy's first cycle, at its first
    // tick, reaches the failure limit and its action restarts the computer.
    WriteWebCheck(dir.path(), [](Settings& s) {
        s.WebAction = 2;
        s.FailureLimit = "1";
        s.PoolingMinutes = "1";
        s.RunAsService = 1;
        s.ShowPanel = 1;
        s.PanelLeft = 1500;
        s.PanelTop = 1500;
    });
    TinyServer server("HTTP/1.0 500 Erro\r\n\r\n");
    const std::string port = HttpPortEnv(server.port());
    ProgramRun service(VGX_TEST_PROGRAM, dir.path());
    ProgramRun face(VGX_TEST_PROGRAM, dir.path());

    service.Start({}, {port}, {"--service"});
    ASSERT_TRUE(WaitFor([&] { return service.Logged("INICIOU O SISTEMA") == 1; }, 10s));
    auto env = desktop.Env();
    env.push_back(port);
    face.Start({}, env);

    // The failure as the service copy counted it.
    ASSERT_TRUE(WaitFor([&] { return service.Logged(kPageFailure) == 1; }, 10s));
    const auto firstCycle = std::chrono::steady_clock::now();
    auto icon = desktop.WaitForTrayIcon(face.Pid(), 10s);
    ASSERT_TRUE(icon);
    const auto panel = WaitForNamedWindow(desktop, face.Pid(), "Painel", 5s);
    ASSERT_TRUE(panel);
    EXPECT_TRUE(WaitFor([&] { return Share(desktop.Grab(*icon), Red) > 0.3; }, 5s))
        << "the red shield of the failure limit";
    EXPECT_TRUE(WaitFor([&] { return Share(desktop.Grab(*panel), Red) > 0.4; }, 5s))
        << "the report on red";

    // The service copy's restart warning; its cancel and the notice end it.
    const auto warning = WaitForNamedWindow(desktop, face.Pid(), "BOOT...", 10s);
    ASSERT_TRUE(warning);
    desktop.Key("alt+c", &*warning);
    const auto notice = WaitForNamedWindow(desktop, face.Pid(), "ATENÇÃO", 5s);
    ASSERT_TRUE(notice);
    desktop.Key("Return", &*notice);
    EXPECT_TRUE(WaitFor([&] { return service.Logged("BOOT CANCELADO PELO USUÁRIO! ") == 1; }, 5s));
    EXPECT_EQ(service.Logged("FALHAS RESETADAS! "), 1);

    // From the tray to the settings window, its IIS section (the fourth menu button) and the
    // section's "Ativar  ", which is switched off and saved at once.
    ASSERT_TRUE(desktop.OpenTrayMenu(face.Pid(), *icon)) << "no menu on a right click";
    desktop.Key("c");
    const auto settings = WaitForSettingsWindow(desktop, face.Pid(), 5s);
    ASSERT_TRUE(settings);
    desktop.Key("Tab", &*settings);
    for (const char* key : {"Tab", "Tab", "Tab", "space", "Tab", "Tab", "space"})
        desktop.Key(key);
    SettingsModel stored(dir.path(), SystemClock());
    EXPECT_TRUE(WaitFor(
        [&] { return stored.LoadSettings().Complete() && stored.Working().WebCheckEnabled == 0; },
        5s));
    // Back to the tray with "X".
    desktop.Click(OnScreen(*settings, kTrayButton));
    icon = desktop.WaitForTrayIcon(face.Pid(), 5s);
    ASSERT_TRUE(icon);

    // Past the restart's time and the next cycle's: no restart, and no check in the service copy.
    std::this_thread::sleep_until(firstCycle + 63s);
    EXPECT_FALSE(std::filesystem::exists(dir / "restart-requests.txt"));
    EXPECT_EQ(service.Logged(kPageFailure), 1);
    EXPECT_EQ(server.Heads(), 1);

    // Paused by the service manager, the service copy hides the face's panel and its tray
    // offers "&Start", which continues the service; continued, the panel is back.
    service.Signal(SIGUSR1);
    EXPECT_TRUE(WaitFor([&] { return NamedWindows(desktop, face.Pid(), "Painel").empty(); }, 5s))
        << "the panel hides on pause";
    WriteFile(dir / "systemctl-show.txt", "ActiveState=active\nStatusText=Serviço Pausado\n");
    ASSERT_TRUE(desktop.OpenTrayMenu(face.Pid(), *icon));
    desktop.Key("s");
    EXPECT_TRUE(WaitFor(
        [&] {
            return Occurrences(ReadFile(dir / "systemctl-calls.txt"),
                               "--signal=SIGUSR2 vigiax.service") == 1;
        },
        5s))
        << "\"&Start\" continues the paused service";
    service.Signal(SIGUSR2);
    EXPECT_TRUE(WaitForNamedWindow(desktop, face.Pid(), "Painel", 5s)) << "the panel is back";

    // The service copy ends; the face shows it and runs no watchdog of its own.
    EXPECT_EQ(service.Stop(), std::optional<int>(0));
    EXPECT_TRUE(WaitFor([&] { return Share(desktop.Grab(*icon), Grey) > 0.3; }, 5s))
        << "the grey shield";
    EXPECT_TRUE(WaitFor([&] { return Share(desktop.Grab(*panel), Red) == 0; }, 5s))
        << "the report on white";
    EXPECT_EQ(face.WaitExit(4s), std::nullopt) << "the face goes on";
    EXPECT_EQ(face.Logged("INICIOU O SISTEMA"), 1);
    EXPECT_EQ(face.Stop(), std::optional<int>(0));
}

}  // namespace
}  // namespace vgx::test
