#pragma once

#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>

namespace vgx::test {

// Two network namespaces of this test process joined by a veth pair: "a" holds 10.201.0.1/24,
// "b" holds .2; both have their loopback up. Deleted on destruction. The addresses exist only
// inside the two namespaces, so pairs made at the same time do not meet.
class NetnsPair {
public:
    // Empty when the pair can be made here, else why not.
    static std::string Unavailable() {
        if (::geteuid() != 0)
            return "network namespaces need root";
        if (std::system("ip netns list >/dev/null 2>&1") != 0)
            return "no usable `ip netns`";
        return {};
    }

    NetnsPair() {
        static int counter = 0;
        ++counter;
        const std::string id = std::to_string(::getpid()) + "-" + std::to_string(counter);
        a_ = "vgxt-" + id + "-a";
        b_ = "vgxt-" + id + "-b";
        try {
            Run("ip netns add " + a_);
            Run("ip netns add " + b_);
            Run("ip -n " + a_ + " link add va type veth peer name vb netns " + b_);
            Run("ip -n " + a_ + " addr add " + subnet_ + "1/24 dev va");
            Run("ip -n " + b_ + " addr add " + subnet_ + "2/24 dev vb");
            for (const std::string& ns : {a_, b_}) {
                Run("ip -n " + ns + " link set lo up");
                Run("ip -n " + ns + " link set " + (ns == a_ ? "va" : "vb") + " up");
            }
        } catch (...) {
            Delete();
            throw;
        }
    }
    ~NetnsPair() { Delete(); }
    NetnsPair(const NetnsPair&) = delete;
    NetnsPair& operator=(const NetnsPair&) = delete;

    std::string Address(int host) const { return subnet_ + std::to_string(host); }
    const std::string& a() const { return a_; }
    const std::string& b() const { return b_; }

    // A command run inside one of the two namespaces.
    void InA(const std::string& command) const { Run("ip netns exec " + a_ + " " + command); }
    void InB(const std::string& command) const { Run("ip netns exec " + b_ + " " + command); }

    // Runs fn in a forked child that has entered namespace a; returns the text fn returned.
    std::string RunInA(const std::function<std::string()>& fn) const {
        int fds[2];
        if (::pipe(fds) != 0)
            throw std::runtime_error("pipe");
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            const int ns = ::open(("/run/netns/" + a_).c_str(), O_RDONLY | O_CLOEXEC);
            if (ns < 0 || ::setns(ns, CLONE_NEWNET) != 0)
                ::_exit(3);
            const std::string out = fn();
            const bool written =
                ::write(fds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size());
            ::_exit(written ? 0 : 4);
        }
        ::close(fds[1]);
        std::string out;
        char buffer[512];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
            out.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            throw std::runtime_error("child in namespace failed");
        }
        return out;
    }

    // A command that must succeed.
    static void Run(const std::string& command) {
        if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
            throw std::runtime_error("failed: " + command);
        }
    }

private:
    void Delete() const {
        for (const std::string& ns : {a_, b_}) {
            if (ns.empty())
                continue;
            [[maybe_unused]] const int rc =
                std::system(("ip netns del " + ns + " 2>/dev/null").c_str());
        }
    }

    std::string a_, b_;
    std::string subnet_ = "10.201.0.";
};

}  // namespace vgx::test
