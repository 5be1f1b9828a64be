#include "app/metrics_publisher.h"

#include <chrono>

#include "app/engine.h"
#include "vgx_version.h"

namespace vgx {

namespace {

double SecondsOf(MonoClock::duration d) {
    return std::chrono::duration<double>(d).count();
}

CheckMetrics Check(bool enabled, const std::optional<bool>& up, double seconds) {
    CheckMetrics c;
    c.Enabled = enabled;
    if (enabled && up) {
        c.Up = *up;
        c.DurationSeconds = seconds;
    }
    return c;
}

}  // namespace

double UnixNow() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

MetricsPublisher::MetricsPublisher(Engine& engine, std::filesystem::path dir,
                                   std::function<double()> unixNow)
    : engine_(engine),
      writer_(std::move(dir), [&engine](std::string line) { engine.Log().WriteLog(line); }),
      unixNow_(std::move(unixNow)),
      startedAt_(unixNow_() - SecondsOf(engine.Loop().Now() - engine.Started())) {}

WatchdogMetrics MetricsPublisher::Snapshot() const {
    const Watchdog& dog = engine_.Dog();
    const CycleCounts& counts = dog.Counts();
    const SettingsModel& settings = engine_.Settings();
    const Settings& s = settings.Working();
    WatchdogMetrics m;
    m.Version = kVersion;
    m.StartTimeSeconds = startedAt_;
    if (counts.lastCycleEndMono)
        m.LastCycleTimeSeconds =
            unixNow_() - SecondsOf(engine_.Loop().Now() - *counts.lastCycleEndMono);
    m.PoolingIntervalSeconds = settings.PoolingMinutesInUse() * 60;
    m.Failures = dog.Failures();
    m.FailureLimit = settings.FailureLimitInUse();
    m.Cycles = counts.cycles;
    m.FailedCycles = counts.failedCycles;
    m.Internet = Check(settings.NetCheckOn(), counts.internetUp, counts.internetSeconds);
    m.Web = Check(settings.WebCheckOn(), counts.webUp, counts.webSeconds);
    m.Paused = engine_.Paused();
    m.WebServerRestarts = dog.WebServerRestarts();
    m.ComputerRestarts = counts.computerRestarts;
    m.RestartWarnings = counts.warnings;
    m.RestartWarningsCancelled = counts.warningsCancelled;
    if (dog.Warning().Counting())
        m.RestartWarningSecondsLeft = RestartWarning::kRestartAt - dog.Warning().Counter();
    const bool today = s.ThresholdDay && *s.ThresholdDay == DayOf(engine_.Clock().Now());
    m.ThresholdEventsToday = today ? s.ThresholdEvents : 0;
    const CleaningCounts& cleaning = engine_.Scheduler().Counts();
    m.Cleaning = {cleaning.cleaned, cleaning.refused, cleaning.missing, cleaning.removed};
    return m;
}

void MetricsPublisher::Write() {
    writer_.Write(Snapshot());
}

}  // namespace vgx
