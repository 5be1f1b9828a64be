#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vgx {

// One probe switch of the cycle (the Internet check or the web check) as the last cycle saw it.
struct CheckMetrics {
    bool Enabled = false;
    // From the last cycle that ran the check; empty while it is off or has not run yet.
    std::optional<bool> Up;
    std::optional<double> DurationSeconds;
};

// Folder-cleaning runs since the start, by what each run found.
struct CleaningMetrics {
    std::uint64_t Cleaned = 0;
    std::uint64_t Refused = 0;  // a protected folder
    std::uint64_t Missing = 0;
    std::uint64_t RemovedEntries = 0;
};

inline constexpr unsigned kDailyThresholdEventLimit = 11;

// The watchdog's state at one moment, as exported to Prometheus. Times are Unix seconds;
// counters count since this copy started.
struct WatchdogMetrics {
    std::string Version;
    double StartTimeSeconds = 0;
    std::optional<double> LastCycleTimeSeconds;  // empty before the first cycle
    double PoolingIntervalSeconds = 0;

    double Failures = 0;
    double FailureLimit = 0;
    std::uint64_t Cycles = 0;
    std::uint64_t FailedCycles = 0;

    CheckMetrics Internet;
    CheckMetrics Web;

    bool Paused = false;

    std::uint64_t WebServerRestarts = 0;
    std::uint64_t ComputerRestarts = 0;  // restarts asked of the system
    std::uint64_t RestartWarnings = 0;
    std::uint64_t RestartWarningsCancelled = 0;
    // Seconds left on the restart warning's countdown; empty while no warning counts.
    std::optional<double> RestartWarningSecondsLeft;

    unsigned ThresholdEventsToday = 0;  // Boota
    unsigned ThresholdEventsDailyLimit = kDailyThresholdEventLimit;

    CleaningMetrics Cleaning;
};

}  // namespace vgx
