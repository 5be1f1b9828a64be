#pragma once
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/watchdog.h"
#include "fakes.h"
#include "support/todays_log.h"

namespace vgx::test {

// A watchdog on a temporary program directory, with fake time, probes, power and windows.
struct WatchdogWorld : FakePorts {
    static constexpr const char* kAddress1 = "10.9.0.1";
    static constexpr const char* kAddress2 = "10.9.0.2";

    WatchdogWorld() { Restart(false); }

    // A new run of the program: fresh engine state, settings read from the file.
    void Restart(bool start = true) {
        dog.reset();
        settings = std::make_unique<SettingsModel>(dir.path(), clock);
        if (std::filesystem::exists(dir / "vgx.cfg"))
            settings->LoadSettings();
        settings->CommitLoaded();
        panel = PanelState{};
        icmp = std::make_unique<IcmpProbe>(loop, icmpSender, resolver, panel.report, &eventLog);
        http = std::make_unique<HttpProbe>(httpClient);
        dog = std::make_unique<Watchdog>(
            dir.path(), *settings, eventLog, panel,
            WatchdogPorts{clock, loop, power, runner, windows, *icmp, *http});
        if (start)
            dog->Start();
    }

    void BothAddressesSilent() { icmpSender.status = {{kAddress1, 11010}, {kAddress2, 11010}}; }

    // Runs the loop until the next `n` cycles have started and ended.
    void Cycle(int n = 1) {
        for (int i = 0; i < n; ++i) {
            const auto before = dog->LastCycleStart();
            if (!loop.RunUntil(
                    [&] { return dog->LastCycleStart() != before && !dog->CycleRunning(); }, 24h))
                throw std::runtime_error("no cycle within a day");
        }
    }

    std::vector<std::string> Logged() const { return LogMessages(TodaysLog(eventLog, clock)); }

    EventLog eventLog{dir.path(), clock};
    PanelState panel;
    std::unique_ptr<SettingsModel> settings;
    std::unique_ptr<IcmpProbe> icmp;
    std::unique_ptr<HttpProbe> http;
    std::unique_ptr<Watchdog> dog;
};

}  // namespace vgx::test
