// Echoes between two network namespaces of the test's own, by each way of sending.
#include <fcntl.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <sstream>

#include "probes/icmp_methods.h"
#include "probes/local_addresses.h"

namespace vgx {
namespace {

void Shell(const std::string& command) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
        throw std::runtime_error("failed: " + command);
    }
}

// Namespaces a (10.201.0.1/24) and b (.2) joined by a veth pair; b routes 10.77.1.0/24 to
// "unreachable" and has no route for 10.77.2.0/24. Both are deleted at the end of the test.
class Netns : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "network namespaces need root";
        if (std::system("ip netns list >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "no `ip netns`";
        static int counter = 0;
        const std::string id = std::to_string(::getpid()) + "-" + std::to_string(++counter);
        a = "vgxt-" + id + "-a";
        b = "vgxt-" + id + "-b";
        for (const std::string& command :
             {"ip netns add " + a, "ip netns add " + b,
              "ip -n " + a + " link add va type veth peer name vb netns " + b,
              "ip -n " + a + " addr add 10.201.0.1/24 dev va", "ip -n " + a + " link set va up",
              "ip -n " + b + " addr add 10.201.0.2/24 dev vb", "ip -n " + b + " link set vb up",
              "ip -n " + a + " link set lo up", "ip -n " + b + " link set lo up",
              "ip -n " + a + " route add 10.77.0.0/16 via 10.201.0.2",
              "ip -n " + b + " route add unreachable 10.77.1.0/24",
              "ip netns exec " + b + " sysctl -qw net.ipv4.ip_forward=1",
              "ip netns exec " + a + " sysctl -qw net.ipv4.ping_group_range='0 2147483647'"}) {
            ASSERT_NO_THROW(Shell(command));
        }
    }
    void TearDown() override {
        for (const std::string& ns : {a, b}) {
            if (ns.empty())
                continue;
            [[maybe_unused]] const int rc = std::system(("ip netns del " + ns).c_str());
        }
    }

    // Runs fn in a forked child that entered namespace a; the text it returned.
    std::string RunInA(const std::function<std::string()>& fn) const {
        int fds[2];
        if (::pipe(fds) != 0)
            throw std::runtime_error("pipe");
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            const int ns = ::open(("/run/netns/" + a).c_str(), O_RDONLY | O_CLOEXEC);
            if (ns < 0 || ::setns(ns, CLONE_NEWNET) != 0)
                ::_exit(3);
            const std::string out = fn();
            ::_exit(::write(fds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size())
                        ? 0
                        : 4);
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
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
        return out;
    }

    // Echoes each address from namespace a: "status elapsed-ms unavailable" per line.
    std::vector<std::string> EchoFromA(const std::function<std::unique_ptr<IcmpSender>()>& make,
                                       const std::vector<std::string>& addresses) const {
        std::istringstream in(RunInA([&] {
            auto sender = make();
            std::ostringstream out;
            for (const std::string& address : addresses) {
                const auto start = std::chrono::steady_clock::now();
                const EchoResult r = SendEcho(*sender, address, kEchoPayload);
                const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - start);
                out << r.status << ' ' << ms.count() / 100 << (r.unavailable.empty() ? "" : " !")
                    << '\n';
            }
            return out.str();
        }));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    std::string a, b;
};

// Removes CAP_NET_RAW from this (forked) process, so that raw sockets are refused.
void DropNetRaw() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        ::_exit(5);
    data[0].effective &= ~(1U << CAP_NET_RAW);
    data[0].permitted &= ~(1U << CAP_NET_RAW);
    if (::syscall(SYS_capset, &header, data) != 0)
        ::_exit(6);
}

class IcmpNetns : public Netns, public ::testing::WithParamInterface<IcmpMethod> {};

TEST_P(IcmpNetns, EachOutcomeMapsOntoItsCode) {
    const IcmpMethod method = GetParam();
    // Status and elapsed tenths of a second: the no-neighbour timeout lands in 1.5 s to 1.7 s.
    const std::vector<std::string> expected = {"0 0",     "11002 0",  "11003 0",
                                               "11002 0", "11010 15", "0 0"};
    const auto outcomes =
        EchoFromA([method] { return MakeIcmpSender(method); },
                  {"10.201.0.2", "10.78.0.1", "10.77.1.1", "10.77.2.1", "10.201.0.3", "127.0.0.1"});
    ASSERT_EQ(outcomes.size(), expected.size());
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(outcomes[i], expected[i]) << i;
    EXPECT_TRUE(outcomes[4] == "11010 15" || outcomes[4] == "11010 16") << outcomes[4];
    EXPECT_EQ(outcomes[5], expected[5]);
}

INSTANTIATE_TEST_SUITE_P(Methods, IcmpNetns,
                         ::testing::Values(IcmpMethod::kDatagram, IcmpMethod::kRaw,
                                           IcmpMethod::kPingTool));

TEST_F(Netns, SystemSenderFallsBackToThePingToolThenSaysItHasNoWay) {
    Shell("ip netns exec " + a + " sysctl -qw net.ipv4.ping_group_range='1 0'");
    const auto viaTool = EchoFromA(
        [] {
            DropNetRaw();
            if (RawEcho(0x0100007f, "x", kEchoTimeout, 1, 1))
                ::_exit(7);  // must be refused
            if (DatagramEcho(0x0100007f, "x", kEchoTimeout, 1))
                ::_exit(8);
            return MakeSystemIcmpSender();
        },
        {"10.201.0.2", "10.201.0.3"});
    EXPECT_EQ(viaTool, (std::vector<std::string>{"0 0", "11010 15"}));
    const auto noWay = EchoFromA(
        [] {
            DropNetRaw();
            ::setenv("PATH", "/nonexistent", 1);
            return MakeSystemIcmpSender();
        },
        {"10.201.0.2"});
    EXPECT_EQ(noWay, (std::vector<std::string>{"0 0 !"}));
}

TEST_F(Netns, ListsTheAddressesInInterfaceOrder) {
    EXPECT_EQ(RunInA([] {
                  std::vector<std::string> lstIP = {"anterior"};
                  std::string out = ListLocalAddresses(lstIP) ? "" : "failed";
                  for (const std::string& ip : lstIP)
                      out += ip + ";";
                  return out;
              }),
              "127.0.0.1;10.201.0.1;");
}

}  // namespace
}  // namespace vgx
