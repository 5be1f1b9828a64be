#pragma once

#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>

#include "support/temp_dir.h"

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
        const std::string id = std::to_string(::getpid()) + "-" + std::to_string(++counter);
        a_ = "vgxt-" + id + "-a";
        b_ = "vgxt-" + id + "-b";
        try {
            for (const std::string& command :
                 {"ip netns add " + a_, "ip netns add " + b_,
                  "ip -n " + a_ + " link add va type veth peer name vb netns " + b_,
                  "ip -n " + a_ + " addr add 10.201.0.1/24 dev va",
                  "ip -n " + b_ + " addr add 10.201.0.2/24 dev vb",
                  "ip -n " + a_ + " link set lo up", "ip -n " + b_ + " link set lo up",
                  "ip -n " + a_ + " link set va up", "ip -n " + b_ + " link set vb up"})
                Run(command);
        } catch (...) {
            Delete();
            throw;
        }
    }
    ~NetnsPair() { Delete(); }
    NetnsPair(const NetnsPair&) = delete;
    NetnsPair& operator=(const NetnsPair&) = delete;

    static std::string Address(int host) { return "10.201.0." + std::to_string(host); }
    const std::string& a() const { return a_; }
    const std::string& b() const { return b_; }

    // Runs fn in a forked child that has entered namespace a; returns the text fn returned.
    std::string RunInA(const std::function<std::string()>& fn) const {
        const TempDir out;
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int ns = ::open(("/run/netns/" + a_).c_str(), O_RDONLY | O_CLOEXEC);
            if (ns < 0 || ::setns(ns, CLONE_NEWNET) != 0)
                ::_exit(3);
            WriteFile(out / "out", fn());
            ::_exit(0);
        }
        int status = 0;
        if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            throw std::runtime_error("child in namespace failed");
        return ReadFile(out / "out");
    }

    // A command that must succeed.
    static void Run(const std::string& command) {
        if (std::system((command + " >/dev/null 2>&1").c_str()) != 0)
            throw std::runtime_error("failed: " + command);
    }

private:
    void Delete() const {
        [[maybe_unused]] const int rc = std::system(
            ("ip netns del " + a_ + " 2>/dev/null; ip netns del " + b_ + " 2>/dev/null").c_str());
    }

    std::string a_, b_;
};

}  // namespace vgx::test
