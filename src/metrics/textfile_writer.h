#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "metrics/watchdog_metrics.h"

namespace vgx {

inline constexpr const char* kMetricsFileName = "vigiax.prom";
inline constexpr const char* kLogMetricsFailed = "FALHA AO GRAVAR MÉTRICAS! -> ";
inline constexpr const char* kLogMetricsWritten = "MÉTRICAS GRAVADAS DE NOVO! -> ";

struct MetricsWriteResult {
    enum class Status { Off, Written, Failed };
    Status status = Status::Off;
    int error = 0;          // errno of the step that failed
    std::string_view step;  // that step, for the log
    bool Failed() const { return status == Status::Failed; }
};

// Keeps DIR/vigiax.prom for node_exporter's textfile collector. Each write goes to a new file
// in the same folder whose name does not end in ".prom" (so the collector never reads it half
// written), is synced, made mode 0644 and renamed over the old one. A link planted at the
// temporary name is never followed. The first failure is logged, later ones only once a write
// has worked again (which is logged too). An empty folder path means metrics are off.
class MetricsFileWriter {
public:
    using Log = std::function<void(std::string)>;
    MetricsFileWriter(std::filesystem::path dir, Log log);

    bool Enabled() const { return !dir_.empty(); }
    std::filesystem::path FilePath() const { return dir_ / kMetricsFileName; }
    std::filesystem::path TemporaryPath() const { return dir_ / tempName_; }
    // True from a failed write until one works.
    bool Failing() const { return failing_; }

    MetricsWriteResult Write(std::string_view text);
    MetricsWriteResult Write(const WatchdogMetrics& m);

private:
    MetricsWriteResult WriteFile(std::string_view text) const;

    std::filesystem::path dir_;
    std::string tempName_;
    Log log_;
    bool failing_ = false;
};

}  // namespace vgx
