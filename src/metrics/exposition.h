#pragma once

#include <string>
#include <string_view>

#include "metrics/watchdog_metrics.h"

namespace vgx {

// The snapshot in the Prometheus text exposition format (version 0.0.4): HELP and TYPE before
// each family's samples, no timestamps; families without samples are left out.
std::string RenderMetrics(const WatchdogMetrics& m);

// A label value with backslash, double quote and line feed escaped.
std::string EscapeLabelValue(std::string_view value);

// A sample value: shortest round-trip form, "NaN", "+Inf" or "-Inf".
std::string FormatSampleValue(double value);

}  // namespace vgx
