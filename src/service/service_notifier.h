#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vgx {

// Tells the service manager where the service copy stands ("READY=1", "STATUS=...",
// "WATCHDOG=1", "STOPPING=1"); does nothing when the process was not started by it.
class ServiceNotifier {
public:
    virtual ~ServiceNotifier() = default;
    virtual void Notify(const std::string& state) = 0;
};

// sd_notify(3).
std::unique_ptr<ServiceNotifier> MakeSystemdNotifier();

// The watchdog interval the service manager asked for (WATCHDOG_USEC), when it asked.
std::optional<std::chrono::microseconds> SystemdWatchdogInterval();

}  // namespace vgx
