#pragma once

#include <filesystem>
#include <functional>

#include "metrics/textfile_writer.h"
#include "metrics/watchdog_metrics.h"

namespace vgx {

class Engine;

// Seconds since the Unix epoch, now.
double UnixNow();

// Keeps the watchdog's state in DIR/vigiax.prom for node_exporter's textfile collector: written
// at the start, at the end of every cycle, at every action, pause and continue, and after every
// cleaning run; left in place at a stop (its age tells that the watchdog stopped). A folder that
// cannot be written is logged once, never fatal.
class MetricsPublisher {
public:
    MetricsPublisher(Engine& engine, std::filesystem::path dir,
                     std::function<double()> unixNow = UnixNow);

    void Write();
    WatchdogMetrics Snapshot() const;

private:
    Engine& engine_;
    MetricsFileWriter writer_;
    std::function<double()> unixNow_;
    double startedAt_;
};

}  // namespace vgx
