#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vgx {

inline constexpr const char* kServiceUnitName = "vigiax.service";
inline constexpr const char* kServiceDisplayName = "Vigiax";
// The option that made the desktop executable the service copy; it now hands over to the daemon.
inline constexpr const char* kServiceOption = "--service";
// The service copy's executable, beside the desktop one.
inline constexpr const char* kDaemonName = "vigiaxd";
inline constexpr const char* kSystemUnitDir = "/etc/systemd/system";

// Seconds without a keep-alive before the service manager takes the service copy for hung. The
// copy never waits (probes, the restart tool and questions finish on its event loop), so its
// keep-alives come every half interval whatever a check is doing.
inline constexpr int kWatchdogSeconds = 120;

// One word of a unit's command line, in double quotes, that systemd reads back as `word`
// exactly: quotes and backslashes escaped, "%" doubled, control characters as \xNN.
std::string QuoteForSystemd(std::string_view word);

// False for a path that systemd will not start: not absolute, not valid UTF-8, or holding
// quotes, an apostrophe, a backslash or a control character.
bool SystemdAcceptsProgramPath(std::string_view path);

// Where the Debian package ships its unit.
inline constexpr const char* kShippedUnitDir = "/lib/systemd/system";

// True when `unitFile` (the package's unit, say) starts `daemon`: its ExecStart names that
// executable, quoted or not.
bool UnitStarts(const std::filesystem::path& unitFile, const std::filesystem::path& daemon);

// The unit file that runs `program` (the daemon) as the service copy.
std::string ServiceUnitText(const std::filesystem::path& program);

}  // namespace vgx
