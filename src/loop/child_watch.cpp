#include "loop/child_watch.h"

#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "records/unique_fd.h"

namespace vgx {

namespace {

using namespace std::chrono_literals;

class ChildWatch final : public LoopRegistration {
public:
    ChildWatch(EventLoop& loop, pid_t pid, std::function<void(int)> exited)
        : loop_(loop),
          pid_(pid),
          exited_(std::move(exited)),
          pidFd_(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))) {
        if (pidFd_)
            watch_ = loop_.Watch(pidFd_.get(), kFdRead, [this](unsigned) { Look(); });
        else
            Poll();
    }

private:
    void Poll() {
        watch_ = loop_.After(500ms, [this] { Look(); });
    }

    void Look() {
        int status = 0;
        pid_t r;
        while ((r = ::waitpid(pid_, &status, WNOHANG)) < 0 && errno == EINTR) {
        }
        if (r == 0) {
            if (!pidFd_)
                Poll();
            return;
        }
        // Ended (or not ours to wait for any more): told once; this object may go inside.
        auto exited = std::move(exited_);
        auto watch = std::move(watch_);
        exited(r == pid_ ? status : -1);
    }

    EventLoop& loop_;
    pid_t pid_;
    std::function<void(int)> exited_;
    UniqueFd pidFd_;
    LoopHandle watch_;
};

}  // namespace

LoopHandle WatchChildExit(EventLoop& loop, pid_t pid, std::function<void(int status)> exited) {
    return std::make_unique<ChildWatch>(loop, pid, std::move(exited));
}

int SpawnWithSignalsReset(pid_t& pid, const char* file, const posix_spawn_file_actions_t& actions,
                          char* const argv[], char* const envp[]) {
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigdefault(&attr, &all);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    const int rc = ::posix_spawnp(&pid, file, &actions, &attr, argv, envp);
    posix_spawnattr_destroy(&attr);
    return rc;
}

}  // namespace vgx
