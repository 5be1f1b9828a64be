#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "service/command_runner.h"
#include "app/spawn_posix.h"

namespace vgx {

namespace {

// An exec failure shows as exit status 127 where the C library cannot report it at the start.
constexpr int kNotFound = 127;

class PosixCommandRunner final : public CommandRunner {
public:
    CommandResult Run(const std::vector<std::string>& argv) override {
        CommandResult result;
        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC) != 0)
            return result;
        const pid_t pid = SpawnHidden(argv, pipeFds[1]);
        ::close(pipeFds[1]);
        if (pid < 0) {
            ::close(pipeFds[0]);
            return result;
        }
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(pipeFds[0], buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            result.output.append(buf, static_cast<std::size_t>(n));
        }
        ::close(pipeFds[0]);
        result.exitStatus = WaitForExit(pid);
        result.started = result.exitStatus != kNotFound;
        return result;
    }
};

}  // namespace

std::unique_ptr<CommandRunner> MakeSystemCommandRunner() {
    return std::make_unique<PosixCommandRunner>();
}

}  // namespace vgx
