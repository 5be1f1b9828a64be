// Echo through iputils ping, for a process that may open no ICMP socket itself.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "loop/child_watch.h"
#include "probes/icmp_methods.h"
#include "probes/ping_output.h"
#include "records/unique_fd.h"

extern char** environ;

namespace vgx {

namespace {

using namespace std::chrono_literals;

// The environment with the messages forced to the C locale, so that the output parses.
std::vector<std::string> ToolEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
        const std::string_view entry(*e);
        if (entry.starts_with("LC_ALL=") || entry.starts_with("LANGUAGE="))
            continue;
        env.emplace_back(entry);
    }
    env.emplace_back("LC_ALL=C");
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> out;
    for (std::string& t : texts)
        out.push_back(t.data());
    out.push_back(nullptr);
    return out;
}

// Starts the tool with standard input on /dev/null and its output on `output`, with no signal
// blocked or ignored; 0 or the error number.
int Spawn(std::vector<std::string> args, int output, pid_t& pid) {
    std::vector<std::string> env = ToolEnvironment();
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(env);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output, 1);
    posix_spawn_file_actions_adddup2(&actions, output, 2);
    const int rc = SpawnWithSignalsReset(pid, "ping", actions, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc;
}

// Reaps a killed child on the loop; the watch owns itself until the child has gone.
void ReapLater(EventLoop& loop, pid_t pid) {
    auto watch = std::make_shared<LoopHandle>();
    *watch = WatchChildExit(loop, pid, [watch](int) { watch->reset(); });
}

// The tool under way: its output is read as it comes, its exit is watched, and a guard timer
// kills it should it outlast its own timeout. Dropped while the tool runs, it kills the tool.
class ToolEcho final : public LoopRegistration {
public:
    ToolEcho(EventLoop& loop, pid_t pid, UniqueFd output, std::chrono::milliseconds timeout,
             MethodDone done)
        : loop_(loop), pid_(pid), output_(std::move(output)), done_(std::move(done)) {
        outputWatch_ = loop_.Watch(output_.get(), kFdRead, [this](unsigned) { Read(); });
        exitWatch_ = WatchChildExit(loop_, pid_, [this](int status) { Exited(status); });
        // The tool bounds its own wait; the extra second only guards against a stuck tool.
        guard_ = loop_.After(timeout + 1s, [this] { GiveUp(); });
    }
    ~ToolEcho() override {
        if (running_) {
            ::kill(pid_, SIGKILL);
            ReapLater(loop_, pid_);
        }
    }

private:
    void Read() {
        char buffer[4096];
        const ssize_t n = ::read(output_.get(), buffer, sizeof buffer);
        if (n > 0) {
            text_.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0) {
            closed_ = true;
            outputWatch_.reset();
            Conclude();
        } else if (errno != EAGAIN && errno != EINTR) {
            GiveUp();
        }
    }

    void Exited(int status) {
        running_ = false;
        status_ = status;
        Conclude();
    }

    // Stuck, or its output unreadable: killed, and a timeout once it is reaped.
    void GiveUp() {
        stuck_ = true;
        outputWatch_.reset();
        output_.reset();
        if (running_)
            ::kill(pid_, SIGKILL);
        Conclude();
    }

    // Ends the echo once the tool has been reaped and its output read to the end.
    void Conclude() {
        if (running_ || (!closed_ && !stuck_))
            return;
        std::optional<EchoResult> result;
        if (stuck_)
            result = EchoResult{kEchoTimedOut, 0, {}};
        else if (!WIFEXITED(status_))
            result = EchoResult{kEchoGeneralFailure, 0, {}};
        else
            result = ParsePingOutput(text_, WEXITSTATUS(status_));
        guard_.reset();
        auto done = std::move(done_);
        done(std::move(result));
    }

    EventLoop& loop_;
    pid_t pid_;
    UniqueFd output_;
    MethodDone done_;
    std::string text_;
    bool running_ = true;
    bool closed_ = false;
    bool stuck_ = false;
    int status_ = 0;
    LoopHandle outputWatch_;
    LoopHandle exitWatch_;
    LoopHandle guard_;
};

}  // namespace

LoopHandle PingToolEcho(EventLoop& loop, std::uint32_t target, std::string_view payload,
                        std::chrono::milliseconds timeout, MethodDone done) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        const int err = errno;
        return DeliverLater(loop, EchoFailure(err), std::move(done));
    }
    UniqueFd readEnd(pipeFds[0]);
    UniqueFd writeEnd(pipeFds[1]);
    // Only this end: the tool's end stays blocking.
    ::fcntl(readEnd.get(), F_SETFL, O_NONBLOCK);
    pid_t pid = -1;
    const int spawned =
        Spawn(PingToolArguments(DottedAddressOf(target), payload, timeout), writeEnd.get(), pid);
    writeEnd.reset();
    if (spawned != 0) {
        // Missing, not executable, or holding a capability outside this process's bounding set.
        if (spawned == ENOENT || spawned == EACCES || spawned == EPERM)
            return DeliverLater(loop, std::nullopt, std::move(done));
        return DeliverLater(loop, EchoFailure(spawned), std::move(done));
    }
    return std::make_unique<ToolEcho>(loop, pid, std::move(readEnd), timeout, std::move(done));
}

}  // namespace vgx
