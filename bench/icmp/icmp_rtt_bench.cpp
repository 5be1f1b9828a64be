// Median time of one echo by the probe's senders, each run to its end on a poll(2) loop, against
// the round-trip time iputils ping reports, 200 echoes each, from one namespace to its veth peer.
// Makes and removes its own network namespaces; needs root.
#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "probes/icmp_methods.h"
#include "support/poll_loop.h"

namespace {

constexpr int kEchoes = 200;

bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Microseconds per echo of one sender, or empty when any echo failed.
std::vector<double> TimeSender(vgx::test::PollLoop& loop, vgx::IcmpSender& sender,
                               const std::string& peer) {
    std::vector<double> us;
    for (int i = 0; i < kEchoes; ++i) {
        std::optional<vgx::EchoResult> r;
        const auto start = std::chrono::steady_clock::now();
        const vgx::LoopHandle echo = vgx::SendEcho(loop, sender, peer, vgx::kEchoPayload,
                                                   [&](vgx::EchoResult result) { r = result; });
        loop.RunUntil([&] { return r.has_value(); }, std::chrono::seconds(5));
        const auto end = std::chrono::steady_clock::now();
        if (!r || r->status != 0 || !r->unavailable.empty())
            return {};
        us.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    return us;
}

// The round-trip times iputils ping prints for kEchoes requests, in microseconds.
std::vector<double> PingTimes(const std::string& peer) {
    const std::string command = "LC_ALL=C ping -n -c " + std::to_string(kEchoes) +
                                " -i 0.002 -W 1.5 -s 32 -p 70696e67 " + peer;
    std::vector<double> us;
    FILE* out = ::popen(command.c_str(), "r");
    if (out == nullptr)
        return us;
    char line[512];
    while (std::fgets(line, sizeof line, out) != nullptr) {
        const char* time = std::strstr(line, "time=");
        if (time != nullptr)
            us.push_back(std::atof(time + 5) * 1000.0);
    }
    ::pclose(out);
    return us;
}

void Measure(const std::string& peer) {
    const double ping = Median(PingTimes(peer));
    std::printf("iputils ping (reported rtt): median %.1f us over %d echoes\n", ping, kEchoes);
    const struct {
        const char* name;
        vgx::IcmpMethod method;
    } methods[] = {{"datagram socket", vgx::IcmpMethod::kDatagram},
                   {"raw socket", vgx::IcmpMethod::kRaw},
                   {"ping tool", vgx::IcmpMethod::kPingTool}};
    vgx::test::PollLoop loop;
    for (const auto& m : methods) {
        auto sender = vgx::MakeIcmpSender(loop, m.method);
        const std::vector<double> us = TimeSender(loop, *sender, peer);
        if (us.empty() || ping <= 0.0) {
            std::printf("%-16s failed\n", m.name);
            continue;
        }
        const double median = Median(us);
        std::printf(
            "%-16s median %.1f us per echo (socket opened and closed each time); "
            "ratio vs iputils ping: %.2f\n",
            m.name, median, median / ping);
    }
    std::fflush(stdout);
}

}  // namespace

int main() {
    if (::geteuid() != 0) {
        std::fprintf(stderr, "needs root: it makes two network namespaces\n");
        return 2;
    }
    const std::string id = std::to_string(::getpid());
    const std::string a = "vgxb-" + id + "-a";
    const std::string b = "vgxb-" + id + "-b";
    const std::string peer = "10.202.0.2";
    bool ok = Run("ip netns add " + a) && Run("ip netns add " + b) &&
              Run("ip -n " + a + " link add va type veth peer name vb netns " + b) &&
              Run("ip -n " + a + " addr add 10.202.0.1/24 dev va") &&
              Run("ip -n " + b + " addr add " + peer + "/24 dev vb") &&
              Run("ip -n " + a + " link set va up") && Run("ip -n " + b + " link set vb up") &&
              Run("ip -n " + a + " link set lo up") && Run("ip -n " + b + " link set lo up") &&
              Run("ip netns exec " + a + " sysctl -qw net.ipv4.ping_group_range='0 2147483647'");
    if (ok) {
        const pid_t child = ::fork();
        if (child == 0) {
            const int ns = ::open(("/run/netns/" + a).c_str(), O_RDONLY | O_CLOEXEC);
            if (ns < 0 || ::setns(ns, CLONE_NEWNET) != 0)
                ::_exit(3);
            Measure(peer);
            ::_exit(0);
        }
        int status = 0;
        ok = child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
             WEXITSTATUS(status) == 0;
    }
    Run("ip netns del " + a);
    Run("ip netns del " + b);
    return ok ? 0 : 1;
}
