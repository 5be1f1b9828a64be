#include "app/process_runner_posix.h"

#include <sys/wait.h>

#include "app/spawn_posix.h"
#include "app/system_ports.h"
#include "loop/child_watch.h"

namespace vgx {

LoopHandle PosixProcessRunner::Run(const std::vector<std::string>& argv,
                                   std::function<void(bool)> ended) {
    const pid_t pid = SpawnHidden(argv);
    if (pid < 0)
        return loop_.Next([ended = std::move(ended)] { ended(false); });
    return WatchChildExit(loop_, pid, [ended = std::move(ended)](int status) {
        // glibc reports an exec failure as exit status 127 of the child.
        ended(status >= 0 && !(WIFEXITED(status) && WEXITSTATUS(status) == 127));
    });
}

std::unique_ptr<ProcessRunner> MakeSystemProcessRunner(EventLoop& loop) {
    return std::make_unique<PosixProcessRunner>(loop);
}

}  // namespace vgx
