// Echo through iputils ping, for a process that may open no ICMP socket itself.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "probes/icmp_methods.h"
#include "probes/ping_output.h"
#include "records/unique_fd.h"

extern char** environ;

namespace vgx {

namespace {

using Steady = std::chrono::steady_clock;

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

// Reads the child's output until it closes (true) or the deadline passes (false).
bool ReadUntil(int fd, Steady::time_point deadline, std::string& output) {
    char buffer[4096];
    while (true) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Steady::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            return true;
        if (n < 0)
            return false;
        output.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace

std::optional<EchoResult> PingToolEcho(std::uint32_t target, std::string_view payload,
                                       std::chrono::milliseconds timeout) {
    std::vector<std::string> args = PingToolArguments(DottedAddressOf(target), payload, timeout);
    std::vector<std::string> env = ToolEnvironment();
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(env);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return EchoResult{kEchoGeneralFailure, 0, {}};
    UniqueFd readEnd(pipeFds[0]);
    UniqueFd writeEnd(pipeFds[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), 1);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), 2);
    // The tool starts with no signal blocked, whatever this process blocks.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
    pid_t pid = -1;
    const auto start = Steady::now();
    const int spawned = ::posix_spawnp(&pid, "ping", &actions, &attr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    writeEnd.reset();
    if (spawned != 0) {
        // Missing, not executable, or holding a capability outside this process's bounding set.
        if (spawned == ENOENT || spawned == EACCES || spawned == EPERM)
            return std::nullopt;
        return EchoResult{kEchoGeneralFailure, 0, {}};
    }

    // The tool bounds its own wait; the extra second only guards against a stuck tool.
    std::string output;
    const bool closed = ReadUntil(readEnd.get(), start + timeout + std::chrono::seconds(1), output);
    readEnd.reset();
    if (!closed)
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!closed)
        return EchoResult{kEchoTimedOut, 0, {}};
    if (!WIFEXITED(status))
        return EchoResult{kEchoGeneralFailure, 0, {}};
    return ParsePingOutput(output, WEXITSTATUS(status));
}

}  // namespace vgx
