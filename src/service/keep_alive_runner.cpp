#include "service/keep_alive_runner.h"

#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "app/spawn_posix.h"

namespace vgx {

bool KeepAliveProcessRunner::RunAndWait(const std::vector<std::string>& argv) {
    const pid_t pid = SpawnHidden(argv);
    if (pid < 0)
        return false;
    // Without a pidfd (an old kernel) the wait falls back to short sleeps.
    const int pidFd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    auto next = std::chrono::steady_clock::now() + every_;
    int status = 0;
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            break;
        if (r < 0 && errno != EINTR) {
            status = -1;
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            next - std::chrono::steady_clock::now());
        const auto wait = std::max(left, std::chrono::milliseconds(0));
        if (pidFd >= 0) {
            pollfd p{pidFd, POLLIN, 0};
            ::poll(&p, 1, static_cast<int>(wait.count()));
        } else {
            std::this_thread::sleep_for(std::min(wait, std::chrono::milliseconds(100)));
        }
        if (std::chrono::steady_clock::now() >= next) {
            if (keepAlive_)
                keepAlive_();
            next = std::chrono::steady_clock::now() + every_;
        }
    }
    if (pidFd >= 0)
        ::close(pidFd);
    // As the engine's runner: an exec failure (127) or a killed program counts as not run.
    return status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) != 127;
}

}  // namespace vgx
