// The program on a bare X display with a notification-area host, driven with the pointer and
// the keyboard: to the tray with "X", the tray menu, the status panel, back to the window, and
// quit. Every systemctl command is only recorded.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "desktop_session.h"
#include "desktop_windows.h"
#include "program_run.h"
#include "records/settings_file.h"
#include "support/temp_dir.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::Field;

std::set<unsigned long> Ids(const std::vector<ScreenWindow>& windows) {
    std::set<unsigned long> ids;
    for (const ScreenWindow& w : windows)
        ids.insert(w.id);
    return ids;
}

// The fields of a vgx.cfg.
std::vector<std::string> Fields(const std::string& text) {
    std::vector<std::string> fields;
    SettingsFieldReader reader(text);
    while (auto field = reader.Next())
        fields.push_back(*field);
    return fields;
}

class TrayE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(desktop.Start()) << desktop.Error();
        // The panel's stored place: 100, 100 pixels at 15 twips a pixel.
        WriteSettings(dir.path(), [](Settings& s) {
            s.PanelLeft = 1500;
            s.PanelTop = 1500;
        });
        run.Start({}, desktop.Env());
    }

    std::optional<ScreenWindow> SettingsWindow(std::chrono::milliseconds timeout = 10s) {
        return WaitForSettingsWindow(desktop, run.Pid(), timeout);
    }

    bool InTray() const {
        const auto area = desktop.TrayArea();
        for (const ScreenWindow& w : desktop.WindowsOf(run.Pid())) {
            if (area && w.Inside(*area))
                return true;
        }
        return false;
    }

    // Opens the tray menu with the right button and picks an item by its key.
    void Choose(const ScreenWindow& icon, const std::string& key) {
        const auto before = Ids(desktop.WindowsOf(run.Pid()));
        desktop.Click(icon, 3);
        ASSERT_TRUE(desktop.WaitForNewWindow(run.Pid(), before, 5s)) << "no menu on a right click";
        desktop.Key(key);
    }

    std::optional<ScreenWindow> ToTray() {
        const auto window = SettingsWindow();
        if (!window)
            return std::nullopt;
        const ScreenPoint x = OnScreen(*window, kTrayButton);
        desktop.Click(x.x, x.y);
        return desktop.WaitForTrayIcon(run.Pid(), 10s);
    }

    DesktopSession desktop;
    TempDir dir;
    ProgramRun run{VGX_TEST_PROGRAM, dir.path()};
};

TEST_F(TrayE2E, XPanelConfigAndQuitFromTheTray) {
    const auto shown = SettingsWindow();
    ASSERT_TRUE(shown) << "the settings window shows at an interactive start";
    EXPECT_FALSE(InTray());

    auto icon = ToTray();
    ASSERT_TRUE(icon) << "\"X\" puts the program in the tray";
    EXPECT_TRUE(
        WaitFor([&] { return NamedWindows(desktop, run.Pid(), "^Vigiax$").size() == 1; }, 5s))
        << "only the icon is left";

    ASSERT_NO_FATAL_FAILURE(Choose(*icon, "p"));
    const auto panel = WaitForNamedWindow(desktop, run.Pid(), "^Painel$", 5s);
    ASSERT_TRUE(panel) << "\"&Painel\" shows the status panel";
    EXPECT_EQ(panel->x, 100);
    EXPECT_EQ(panel->y, 100);
    // Dragged by its background, right of the picture, to 300, 300 (4500 twips).
    Drag(desktop, panel->x + 150, panel->y + 20, panel->x + 350, panel->y + 220);
    EXPECT_TRUE(WaitFor(
        [&] {
            const auto moved = NamedWindows(desktop, run.Pid(), "^Painel$");
            return moved.size() == 1 && moved[0].x == 300 && moved[0].y == 300;
        },
        5s));

    ASSERT_NO_FATAL_FAILURE(Choose(*icon, "c"));
    const auto back = SettingsWindow(5s);
    ASSERT_TRUE(back) << "\"&Config\" restores the window";
    EXPECT_EQ(back->width, shown->width);
    EXPECT_TRUE(WaitFor([&] { return !InTray(); }, 5s)) << "and removes the icon";
    EXPECT_THAT(NamedWindows(desktop, run.Pid(), "^Painel$"),
                ElementsAre(Field(&ScreenWindow::x, 300)));

    icon = ToTray();
    ASSERT_TRUE(icon);
    ASSERT_NO_FATAL_FAILURE(Choose(*icon, "r"));
    ASSERT_TRUE(WaitForNamedWindow(desktop, run.Pid(), "^ATENÇÃO$", 5s)) << "the quit question";
    desktop.Key("s");  // "&Sim"
    EXPECT_EQ(run.WaitExit(10s), std::optional<int>(0));

    EXPECT_EQ(ReadFile(dir / "systemctl-calls.txt"), "systemctl stop vigiax.service \n");
    EXPECT_FALSE(std::filesystem::exists(dir / "restart-requests.txt"));
    const auto cfg = Fields(ReadFile(dir / "vgx.cfg"));
    ASSERT_EQ(cfg.size(), std::size_t{kSettingsFieldCount});
    EXPECT_THAT(std::vector(cfg.begin() + 14, cfg.begin() + 16), ElementsAre("4500", "4500"))
        << "the panel's place saved";
}

}  // namespace
}  // namespace vgx::test
