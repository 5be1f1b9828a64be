#include "app/process_runner_posix.h"

#include "app/spawn_posix.h"
#include "app/system_ports.h"

namespace vgx {

bool PosixProcessRunner::RunAndWait(const std::vector<std::string>& argv) {
    const auto status = ExitStatus(argv);
    // glibc reports an exec failure as exit status 127 of the child.
    return status.has_value() && *status != 127;
}

std::optional<int> PosixProcessRunner::ExitStatus(const std::vector<std::string>& argv) {
    const pid_t pid = SpawnHidden(argv);
    if (pid < 0)
        return std::nullopt;
    const int code = WaitForExit(pid);
    return code < 0 ? std::nullopt : std::optional<int>(code);
}

std::unique_ptr<ProcessRunner> MakeSystemProcessRunner() {
    return std::make_unique<PosixProcessRunner>();
}

}  // namespace vgx
