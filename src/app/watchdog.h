#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "app/panel_state.h"
#include "app/ports.h"
#include "app/restart_warning.h"
#include "loop/task.h"
#include "probes/http_probe.h"
#include "probes/icmp_probe.h"
#include "records/clock.h"
#include "records/event_log.h"
#include "records/settings_model.h"

namespace vgx {

inline constexpr const char* kCancelledRestartText =
    "Por segurança as falhas do pooling foram resetadas para zero!";
inline constexpr const char* kResetQuestionText =
    "Você realmente deseja resetar as falhas de pooling para zero?";
inline constexpr const char* kResetDoneText = "Falhas resetadas. Aguarde o próximo pooling!";

// Outcome code of a cycle whose web-server check failed.
inline constexpr std::int32_t kWebFailure = 1453;

struct WatchdogPorts {
    const Clock& clock;
    EventLoop& loop;
    PowerControl& power;
    ProcessRunner& runner;
    Windows& windows;
    IcmpProbe& icmp;
    HttpProbe& http;
};

// What the cycles have done since the start, for those who watch from outside.
struct CycleCounts {
    std::uint64_t cycles = 0;                    // cycles that ran a check
    std::uint64_t failedCycles = 0;              // of those, the ones counted as failed
    std::uint64_t inconclusive = 0;              // ended by a fault of this program (not counted)
    std::uint64_t computerRestarts = 0;          // restarts asked of the system
    std::uint64_t warnings = 0;                  // restart warnings that began counting down
    std::uint64_t warningsCancelled = 0;         // restart warnings the user cancelled
    std::optional<bool> internetUp, webUp;       // the last outcome of each check that ran
    double internetSeconds = 0, webSeconds = 0;  // how long each took then
    std::optional<LocalTime> lastCycleEnd;
    std::optional<MonoTime> lastCycleEndMono;
};

// The pooling cycle, its failure accounting and the failure actions, on the event loop. The
// cycle runs as one coroutine, step after step in the order a reader expects; the next one is
// armed when it ends, so two never overlap.
class Watchdog {
public:
    Watchdog(std::filesystem::path programDir, SettingsModel& settings, const EventLog& log,
             PanelState& panel, WatchdogPorts ports);
    ~Watchdog();

    // Arms the first cycle: after the start delay, about a second after the start without one.
    void Start();
    // No cycle starts while paused (one under way ends); the start delay stops counting.
    void Pause();
    void Continue();
    // Ends the cycle under way where it waits, without counting or acting, and every timer.
    void Stop();
    // The settings changed (an edit, a confirm, a load): the next cycle is armed again.
    void SettingsChanged();

    // The reset button: asks, then the next cycle clears the count.
    void AskToResetFailures();
    // The reset itself, after the question: the next cycle clears the count.
    void ResetFailures();
    // The manual restart button.
    void RestartButton();

    // The restart warning: shown by a threshold event or the restart button; it counts down a
    // second at a time and restarts the computer at the end.
    void ShowRestartWarning();
    // `notice` false: the user was told elsewhere (the copy that showed the warning).
    void CancelRestartWarning(bool notice = true);
    const RestartWarning& Warning() const { return warning_; }

    // Writes the threshold count and its day into vgx.cfg, leaving the rest as stored.
    void SaveBootCount();

    // The failure limit in use: the text being edited, or the confirmed number when it is not one.
    double FailureLimit() const;

    bool CycleRunning() const { return cycle_.Valid() && !cycle_.Done(); }
    // Something happened that those who watch from outside may want to see again (a cycle
    // ended, an action, a warning).
    std::function<void()> onActivity;

    // The count the actions go by; after a web-server restart it is lower than the published one
    // until the next cycle.
    float Failures() const { return failures_; }
    // The count as the last cycle published it (label, tray picture).
    float PublishedFailures() const { return publishedFailures_; }
    void ShowPublishedFailures(float count) { publishedFailures_ = count; }
    std::uint8_t WebServerRestarts() const { return webServerRestarts_; }
    const CycleCounts& Counts() const { return counts_; }
    std::optional<LocalTime> LastCycleStart() const { return lastCycleStart_; }

private:
    Task<void> Cycle();
    Task<void> CycleSteps();
    Task<PingOutcome> PingWithTries(std::string address, char prefix);
    Task<void> ThresholdEvent(std::int32_t failureCode);
    Task<void> RestartWebServer();
    void EndInconclusive(int fault);
    void Publish(ReportColours colours, int trayPicture);
    void Arm();
    // The moment the start delay ends, or nothing when it has.
    std::optional<MonoTime> DelayEnd(MonoTime now);
    void BeginCycle();
    void WarningSecond();
    void Log(const std::string& message);
    void Activity();

    std::filesystem::path programDir_;
    SettingsModel& settings_;
    const EventLog& log_;
    PanelState& panel_;
    WatchdogPorts ports_;
    RestartWarning warning_;

    float failures_ = 0;
    float publishedFailures_ = 0;
    std::uint8_t webServerRestarts_ = 0;
    bool resetPending_ = false;
    CycleCounts counts_;

    // The start delay counts running time only, a whole second at a time, as the old one-second
    // tick did; once reached it holds at the delay.
    bool started_ = false;
    bool paused_ = false;
    MonoTime runningSince_{};  // the last start or continue
    std::chrono::seconds delayCounted_{0};
    bool delayHeld_ = false;  // reached: the count stays at the delay
    MonoTime countingSince_{};
    std::optional<MonoTime> lastCycleMono_;
    std::optional<LocalTime> lastCycleStart_;
    Task<void> cycle_;
    LoopHandle nextCycle_;
    LoopHandle countdown_;
    MonoTime nextSecond_{};
    LoopHandle resetQuestion_;
    LoopHandle cancelNotice_;  // held while the user is told of a cancelled restart
};

}  // namespace vgx
