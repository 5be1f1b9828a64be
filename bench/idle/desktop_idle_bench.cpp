// Idle cost of the program on a desktop: in the tray with the status panel shown, on a bare X
// display with a notification-area host (Xvfb, trayer), against the bare Qt program with the
// same two timers (vgx_bench_idle_peer) on the same display. Both run side by side; the CPU
// time each takes over a round gives the ratio, the median of the rounds' when there are more.
// The checks are off, so the timers, the panel and the tray icon are all that work.
// Usage: vgx_bench_desktop_idle [seconds per round (120)] [rounds (1)]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "../proc_stats.h"
#include "desktop_session.h"
#include "program_run.h"
#include "support/temp_dir.h"

namespace {

using vgx::bench::CpuSeconds;
using vgx::bench::RssKb;

using namespace std::chrono_literals;
using namespace vgx::test;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int Fail(const char* what) {
    std::fprintf(stderr, "vgx_bench_desktop_idle: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 120;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    DesktopSession desktop;
    if (!desktop.Start())
        return Fail(desktop.Error().c_str());

    TempDir programDir, peerDir;
    WriteSettings(programDir.path(), [](vgx::Settings& s) { s.ShowPanel = 1; });
    ProgramRun program(VGX_PROGRAM, programDir.path());
    program.Start({}, desktop.Env());
    const auto window = WaitForSettingsWindow(desktop, program.Pid(), 15s);
    if (!window)
        return Fail("the settings window did not show");
    desktop.Click(OnScreen(*window, kTrayButton));
    if (!desktop.WaitForTrayIcon(program.Pid(), 10s))
        return Fail("\"X\" did not put the program in the tray");
    if (!WaitForNamedWindow(desktop, program.Pid(), "Painel", 5s))
        return Fail("the status panel is not shown");

    ProgramRun peer(VGX_PEER, peerDir.path());
    peer.Start({}, desktop.Env());
    std::this_thread::sleep_for(3s);  // both past their start

    const double perHour = 3600.0 / seconds;
    std::vector<double> programCpu, peerCpu, ratios;
    for (int round = 0; round < rounds; ++round) {
        const double programStart = CpuSeconds(program.Pid());
        const double peerStart = CpuSeconds(peer.Pid());
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        programCpu.push_back((CpuSeconds(program.Pid()) - programStart) * perHour);
        peerCpu.push_back((CpuSeconds(peer.Pid()) - peerStart) * perHour);
        if (peerCpu.back() > 0)
            ratios.push_back(programCpu.back() / peerCpu.back());
    }
    const bool stillThere = desktop.WaitForTrayIcon(program.Pid(), 1s) &&
                            !NamedWindows(desktop, program.Pid(), "Painel").empty();

    std::printf("idle on a desktop (Xvfb %s with trayer), %d round(s) of %d s side by side\n",
                desktop.Display().c_str(), rounds, seconds);
    std::printf("  vigiax, in the tray with the panel shown: %.3f CPU s/h, RSS %ld kB\n",
                Median(programCpu), RssKb(program.Pid()));
    std::printf("  bare Qt program with the same timers:     %.3f CPU s/h, RSS %ld kB\n",
                Median(peerCpu), RssKb(peer.Pid()));
    if (!ratios.empty())
        std::printf("vigiax / peer: idle CPU x%.2f (aim <= 1.2)\n", Median(ratios));
    else
        std::printf("vigiax / peer: the peer's CPU time is below the clock's resolution\n");
    if (!stillThere)
        return Fail("the tray icon or the panel went away during the run");
    program.Signal(SIGTERM);
    peer.Signal(SIGTERM);
    program.WaitExit(5s);
    peer.WaitExit(5s);
    return 0;
}
