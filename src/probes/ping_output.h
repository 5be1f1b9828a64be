#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "probes/icmp_probe.h"

namespace vgx {

// Arguments for iputils ping: one numeric request of the payload's size, its bytes as the
// fill pattern (up to 16), and the timeout in seconds.
std::vector<std::string> PingToolArguments(const std::string& dottedTarget,
                                           std::string_view payload,
                                           std::chrono::milliseconds timeout);

// The echo result read from iputils ping's output (run with LC_ALL=C) and its exit status;
// nullopt when ping could not open its socket, so this way of sending is not open either.
std::optional<EchoResult> ParsePingOutput(std::string_view output, int exitStatus);

}  // namespace vgx
