#include "app/power_control_linux.h"

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "app/process_runner_posix.h"
#include "app/system_ports.h"

namespace vgx {

bool LinuxPowerControl::EnableShutdownPrivilege() {
    __user_cap_header_struct header{};
    header.version = _LINUX_CAPABILITY_VERSION_3;
    header.pid = 0;
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    return (data[CAP_SYS_BOOT / 32].effective & (1u << (CAP_SYS_BOOT % 32))) != 0;
}

void LinuxPowerControl::RestartComputer() {
    struct stat st {};
    const bool systemd = ::stat("/run/systemd/system", &st) == 0 && S_ISDIR(st.st_mode);
    // Each way is tried until one accepts the request.
    if (systemd && PosixProcessRunner::ExitStatus({"/usr/bin/systemctl", "reboot"}) == 0)
        return;
    if (PosixProcessRunner::ExitStatus({"/usr/sbin/reboot"}) == 0)
        return;
    PosixProcessRunner::ExitStatus({"/sbin/reboot"});
}

std::unique_ptr<PowerControl> MakeSystemPowerControl() {
    return std::make_unique<LinuxPowerControl>();
}

}  // namespace vgx
