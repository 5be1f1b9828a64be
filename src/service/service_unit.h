#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vgx {

inline constexpr const char* kServiceUnitName = "vigiax.service";
inline constexpr const char* kServiceDisplayName = "Vigiax";
inline constexpr const char* kServiceOption = "--service";
inline constexpr const char* kSystemUnitDir = "/etc/systemd/system";

// Seconds without a keep-alive before the service manager takes the service copy for hung.
// The longest stretch in which the copy cannot answer is one name lookup of a pinged address
// (about 30 s with the resolver's default time-outs), the 1.5 s echo and the 30 s HTTP probe
// that can follow it, about 62 s. The copy sends a keep-alive every quarter of the interval,
// so such a stretch beginning just before one is due still ends in time (30 + 62 < 120). The
// web-server restart tool, which has no time limit, is waited for with keep-alives.
inline constexpr int kWatchdogSeconds = 120;

// One word of a unit's command line, in double quotes, that systemd reads back as `word`
// exactly: quotes and backslashes escaped, "%" doubled, control characters as \xNN.
std::string QuoteForSystemd(std::string_view word);

// False for a path that systemd will not start: not absolute, not valid UTF-8, or holding
// quotes, an apostrophe, a backslash or a control character.
bool SystemdAcceptsProgramPath(std::string_view path);

// The unit file that runs `program` as the service copy.
std::string ServiceUnitText(const std::filesystem::path& program);

}  // namespace vgx
