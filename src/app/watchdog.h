#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/panel_state.h"
#include "app/ports.h"
#include "app/restart_warning.h"
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
inline constexpr std::int32_t kIisFailure = 1453;

struct WatchdogPorts {
    const Clock& clock;
    EventPump& pump;
    PowerControl& power;
    ProcessRunner& runner;
    Windows& windows;
    IcmpProbe& icmp;
    HttpProbe& http;
};

// The pooling cycle, its failure accounting and the failure actions.
class Watchdog {
public:
    Watchdog(std::filesystem::path programDir, SettingsModel& settings, const EventLog& log,
             PanelState& panel, WatchdogPorts ports);

    // Every second: waits out the start delay, then starts a cycle whenever the interval has
    // passed since the start of the last one.
    void tmrPing_ThatTime();
    void RunPoolingCycle();
    // Waits about n seconds while window events keep being handled.
    void WaitSeconds(int n);

    // The reset button: asks, then the next cycle clears the count.
    void cmdReset_Click();
    // The reset itself, after the question: the next cycle clears the count.
    void ResetFailures();
    // The manual restart button.
    void cmdBot_Click();

    // The restart warning: shown by a threshold event or the restart button.
    void ShowRestartWarning();
    // One second of the warning's countdown; at the end the computer is restarted.
    void RestartWarningTick();
    // `notice` false: the user was told elsewhere (the copy that showed the warning).
    void RestartWarningCancel(bool notice = true);
    const RestartWarning& Warning() const { return warning_; }

    void RestartIis();

    // Writes the threshold count and its day into vgx.cfg, leaving the rest as stored.
    void SaveBootCount();

    // The failure limit in use: the text being edited, or the confirmed number when it is not one.
    double FailureLimit() const;

    // Ends waits and the running cycle early, without actions; for shutdown.
    void RequestStop() { stopping_ = true; }

    // Engine state.
    std::int32_t SecondsSinceStart = 0;
    std::optional<LocalTime> LastPooling;
    float FailureCount = 0;
    std::uint8_t IisRestarts = 0;
    float Nfalhas = 0;
    bool LimpaFalha = false;

private:
    std::int32_t PingWithTries(const std::string& address, char prefix);
    void Publish(ReportColours colours, int trayPicture);
    void ThresholdEvent(std::int32_t failureCode);
    double PoolingMinutes() const;
    void Log(const std::string& message);

    std::filesystem::path programDir_;
    SettingsModel& settings_;
    const EventLog& log_;
    PanelState& panel_;
    WatchdogPorts ports_;
    RestartWarning warning_;
    bool inCycle_ = false;
    bool cancelling_ = false;
    // Start of the last cycle on the monotonic clock: the interval holds when the wall clock
    // is set back or forward.
    std::optional<std::chrono::steady_clock::time_point> lastPoolingMono_;
    bool stopping_ = false;
};

}  // namespace vgx
