#include <systemd/sd-daemon.h>

#include "service/service_notifier.h"

namespace vgx {

namespace {

class SystemdNotifier final : public ServiceNotifier {
public:
    void Notify(const std::string& state) override { ::sd_notify(0, state.c_str()); }
};

}  // namespace

std::unique_ptr<ServiceNotifier> MakeSystemdNotifier() {
    return std::make_unique<SystemdNotifier>();
}

std::optional<std::chrono::microseconds> SystemdWatchdogInterval() {
    std::uint64_t usec = 0;
    if (::sd_watchdog_enabled(0, &usec) <= 0 || usec == 0)
        return std::nullopt;
    return std::chrono::microseconds(usec);
}

}  // namespace vgx
