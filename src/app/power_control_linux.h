#pragma once

#include "app/ports.h"

namespace vgx {

// The real restart: held only by the production program.
class LinuxPowerControl final : public PowerControl {
public:
    // True when the process holds CAP_SYS_BOOT in its effective set.
    bool EnableShutdownPrivilege() override;
    // `systemctl reboot` where systemd runs the machine, else `reboot`.
    void RestartComputer() override;
};

}  // namespace vgx
