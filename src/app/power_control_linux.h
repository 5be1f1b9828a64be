#pragma once

#include <string>
#include <vector>

#include "app/ports.h"

namespace vgx {

// The real restart: held only by the production program.
class LinuxPowerControl final : public PowerControl {
public:
    explicit LinuxPowerControl(EventLoop& loop) : loop_(loop) {}
    // True when the process holds CAP_SYS_BOOT in its effective set.
    bool EnableShutdownPrivilege() override;
    // `systemctl reboot` where systemd runs the machine, else `reboot`: each way is tried, on the
    // loop, until one accepts the request.
    void RestartComputer() override;

private:
    void Try(std::vector<std::vector<std::string>> ways);

    EventLoop& loop_;
    LoopHandle attempt_;
};

}  // namespace vgx
