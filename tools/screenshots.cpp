// Pictures of the program's windows as a user sees them: the program (its test build, where a
// restart and systemctl are only recorded) in a temporary program directory on a bare X
// display with a notification-area host, driven with the pointer and the keyboard.
// Usage: vgx_screenshots <out-dir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "cleaning/jobs_file.h"
#include "desktop_session.h"
#include "program_run.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using namespace vgx;
using namespace vgx::test;

// Points of the settings window's layout, in twips (the banner starts 40 twips above the top):
// menu button `index` (0 to 4) with the column at its first position, the banner's "?", and
// the folder section's "&Adicionar".
constexpr TwipPoint MenuButton(int index) {
    return {1695 / 2, 975 + index * 1320 + 400};
}
constexpr TwipPoint kAboutButton{8760 + 195 / 2, -40 + 45 + 195 / 2};
constexpr TwipPoint kAddFolderButton{2400 + 6945 / 6, 855 + 3840 - 390};

// Time for the program to draw what a click changed.
void Settle() {
    std::this_thread::sleep_for(700ms);
}

class Shooter {
public:
    Shooter(const DesktopSession& desktop, std::filesystem::path out)
        : desktop_(desktop), out_(std::move(out)) {}

    bool Take(const std::string& name, const ScreenWindow& part) {
        Settle();
        const auto file = out_ / (name + ".png");
        const bool saved = desktop_.Grab(part).save(QString::fromStdString(file.string()), "PNG");
        std::printf("%s %s\n", saved ? "wrote" : "could not write", file.c_str());
        ok_ = ok_ && saved;
        return saved;
    }
    bool Fail(const char* what) {
        std::fprintf(stderr, "vgx_screenshots: %s\n", what);
        ok_ = false;
        return false;
    }
    bool Ok() const { return ok_; }

private:
    const DesktopSession& desktop_;
    std::filesystem::path out_;
    bool ok_ = true;
};

// A program directory with one cleaning job in the list: a folder of its own, cleaned on the
// 28th at 03:00 (so never while the pictures are taken).
void FillProgramDir(const std::filesystem::path& dir) {
    const auto folder = dir / "compartilhado" / "publico" / "relatorios-mensais";
    std::filesystem::create_directories(folder);
    CleaningJob job;
    job.Path.Assign(folder.string());
    job.Kind = static_cast<std::uint8_t>(JobKind::Monthly);
    job.Hour.Assign("03:00");
    job.Days.Assign("28");
    SaveCleaningJobs(dir, {job});
}

bool ShootAll(const DesktopSession& desktop, ProgramRun& run, Shooter& shots) {
    const pid_t pid = run.Pid();
    const auto window = WaitForSettingsWindow(desktop, pid, 15s);
    if (!window)
        return shots.Fail("the settings window did not show");
    const auto click = [&](TwipPoint at, int button = 1) {
        desktop.Click(OnScreen(*window, at), button);
    };

    const char* const kSections[] = {"1-config", "2-folders", "3-internet", "4-iis", "5-extras"};
    for (int i = 0; i < 5; ++i) {
        click(MenuButton(i));
        if (i == 4)
            click(MenuButton(4), 4);  // a notch away from the user shows the fifth button whole
        shots.Take(std::string("settings-") + kSections[i], *window);
    }

    click(MenuButton(1));
    click(kAddFolderButton);
    const auto editor = WaitForNamedWindow(desktop, pid, "Adicionar Pasta", 5s);
    if (!editor)
        return shots.Fail("\"&Adicionar\" did not open the job editor");
    shots.Take("job-editor", *editor);
    desktop.Key("Escape");

    click(kAboutButton);
    const auto about = WaitForNamedWindow(desktop, pid, "Sobre", 5s);
    if (!about)
        return shots.Fail("\"?\" did not open the About window");
    std::this_thread::sleep_for(5s);  // the title's animation
    shots.Take("about", *about);
    desktop.Key("alt+s");  // "&SAIR"
    if (!WaitFor([&] { return NamedWindows(desktop, pid, "Sobre").empty(); }, 5s))
        return shots.Fail("\"&SAIR\" did not close the About window");

    click(kTrayButton);
    const auto icon = desktop.WaitForTrayIcon(pid, 10s);
    if (!icon)
        return shots.Fail("\"X\" did not put the program in the tray");
    const auto menu = desktop.OpenTrayMenu(pid, *icon);
    if (!menu)
        return shots.Fail("no tray menu on a right click");
    const int left = std::min(menu->x, icon->x);
    const int right = std::max(menu->x + menu->width, icon->x + icon->width);
    shots.Take("tray-menu", ScreenWindow{0, left, 0, right - left, menu->y + menu->height, {}});
    desktop.Key("p");
    const auto panel = WaitForNamedWindow(desktop, pid, "Painel", 5s);
    if (!panel)
        return shots.Fail("\"&Painel\" did not show the panel");
    shots.Take("panel", *panel);
    return shots.Ok();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <out-dir>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);

    DesktopSession desktop;
    if (!desktop.Start()) {
        std::fprintf(stderr, "vgx_screenshots: %s\n", desktop.Error().c_str());
        return 1;
    }
    TempDir dir;
    FillProgramDir(dir.path());
    ProgramRun run(VGX_TEST_PROGRAM, dir.path());
    run.Start({}, desktop.Env());
    Shooter shots(desktop, out);
    const bool ok = ShootAll(desktop, run, shots);
    run.Signal(SIGTERM);
    run.WaitExit(5s);
    return ok ? 0 : 1;
}
