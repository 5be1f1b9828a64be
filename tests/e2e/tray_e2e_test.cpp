// The program on a bare X display with a notification-area host, driven with the pointer and
// the keyboard: to the tray with "X", the tray menu, the status panel, back to the window, and
// quit. Every systemctl command is only recorded.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "desktop_session.h"
#include "program_run.h"
#include "records/settings_model.h"
#include "support/temp_dir.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::Field;

TEST(TrayE2E, XPanelConfigAndQuitFromTheTray) {
    DesktopSession desktop;
    ASSERT_TRUE(desktop.Start()) << desktop.Error();
    TempDir dir;
    // The panel's stored place: 100, 100 pixels at 15 twips a pixel.
    WriteSettings(dir.path(), [](Settings& s) {
        s.PanelLeft = 1500;
        s.PanelTop = 1500;
    });
    ProgramRun run(VGX_TEST_PROGRAM, dir.path());
    run.Start({}, desktop.Env());
    const auto inTray = [&] { return desktop.WaitForTrayIcon(run.Pid(), 0s).has_value(); };
    const auto toTray = [&] {
        const auto window = WaitForSettingsWindow(desktop, run.Pid(), 10s);
        const ScreenPoint x = OnScreen(window.value_or(ScreenWindow{}), kTrayButton);
        desktop.Click(x.x, x.y);
        return desktop.WaitForTrayIcon(run.Pid(), 10s);
    };

    const auto shown = WaitForSettingsWindow(desktop, run.Pid(), 10s);
    ASSERT_TRUE(shown) << "the settings window shows at an interactive start";
    EXPECT_FALSE(inTray());
    auto icon = toTray();
    ASSERT_TRUE(icon) << "\"X\" puts the program in the tray";
    EXPECT_TRUE(
        WaitFor([&] { return NamedWindows(desktop, run.Pid(), "^Vigiax$").size() == 1; }, 5s))
        << "only the icon is left";

    ASSERT_TRUE(desktop.OpenTrayMenu(run.Pid(), *icon)) << "no menu on a right click";
    desktop.Key("p");
    const auto panel = WaitForNamedWindow(desktop, run.Pid(), "^Painel$", 5s);
    ASSERT_TRUE(panel) << "\"&Painel\" shows the status panel";
    EXPECT_EQ(panel->x, 100);
    EXPECT_EQ(panel->y, 100);
    // Dragged by its background, right of the picture, to 300, 300 (4500 twips).
    desktop.Drag(panel->x + 150, panel->y + 20, panel->x + 350, panel->y + 220);
    const auto moved = [&] { return NamedWindows(desktop, run.Pid(), "^Painel$"); };
    EXPECT_TRUE(WaitFor(
        [&] { return moved().size() == 1 && moved()[0].x == 300 && moved()[0].y == 300; }, 5s));

    ASSERT_TRUE(desktop.OpenTrayMenu(run.Pid(), *icon));
    desktop.Key("c");
    const auto back = WaitForSettingsWindow(desktop, run.Pid(), 5s);
    ASSERT_TRUE(back) << "\"&Config\" restores the window";
    EXPECT_EQ(back->width, shown->width);
    EXPECT_TRUE(WaitFor([&] { return !inTray(); }, 5s)) << "and removes the icon";
    EXPECT_THAT(moved(), ElementsAre(Field(&ScreenWindow::x, 300)));

    icon = toTray();
    ASSERT_TRUE(icon);
    ASSERT_TRUE(desktop.OpenTrayMenu(run.Pid(), *icon));
    desktop.Key("r");
    ASSERT_TRUE(WaitForNamedWindow(desktop, run.Pid(), "^ATENÇÃO$", 5s)) << "the quit question";
    desktop.Key("s");  // "&Sim"
    EXPECT_EQ(run.WaitExit(10s), std::optional<int>(0));

    EXPECT_EQ(ReadFile(dir / "systemctl-calls.txt"), "systemctl stop vigiax.service \n");
    EXPECT_FALSE(std::filesystem::exists(dir / "restart-requests.txt"));
    SettingsModel stored(dir.path(), SystemClock());
    ASSERT_TRUE(stored.LoadSettings().Complete());
    EXPECT_EQ(stored.Working().PanelLeft, 4500.0F) << "the panel's place saved";
    EXPECT_EQ(stored.Working().PanelTop, 4500.0F);
}

}  // namespace
}  // namespace vgx::test
