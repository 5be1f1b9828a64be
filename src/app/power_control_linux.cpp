#include "app/power_control_linux.h"

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/spawn_posix.h"
#include "app/system_ports.h"
#include "loop/child_watch.h"

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
    std::vector<std::vector<std::string>> ways;
    if (systemd)
        ways.push_back({"/usr/bin/systemctl", "reboot"});
    ways.push_back({"/usr/sbin/reboot"});
    ways.push_back({"/sbin/reboot"});
    Try(std::move(ways));
}

void LinuxPowerControl::Try(std::vector<std::vector<std::string>> ways) {
    while (!ways.empty()) {
        const std::vector<std::string> way = std::move(ways.front());
        ways.erase(ways.begin());
        const pid_t pid = SpawnHidden(way);
        if (pid < 0)
            continue;
        attempt_ = WatchChildExit(loop_, pid, [this, rest = std::move(ways)](int status) mutable {
            if (!(WIFEXITED(status) && WEXITSTATUS(status) == 0))
                Try(std::move(rest));
        });
        return;
    }
}

std::unique_ptr<PowerControl> MakeSystemPowerControl(EventLoop& loop) {
    return std::make_unique<LinuxPowerControl>(loop);
}

}  // namespace vgx
