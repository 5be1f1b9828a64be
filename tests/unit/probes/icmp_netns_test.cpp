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
#include "support/netns_pair.h"

namespace vgx {
namespace {

// The pair of namespaces, where b routes 10.77.1.0/24 to "unreachable" and has no route for
// 10.77.2.0/24. Both are deleted at the end of the test.
class Netns : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = test::NetnsPair::Unavailable(); !why.empty())
            GTEST_SKIP() << why;
        net = std::make_unique<test::NetnsPair>();
        a = net->a();
        const std::string b = net->b();
        for (const std::string& command :
             {"ip -n " + a + " route add 10.77.0.0/16 via 10.201.0.2",
              "ip -n " + b + " route add unreachable 10.77.1.0/24",
              "ip netns exec " + b + " sysctl -qw net.ipv4.ip_forward=1",
              "ip netns exec " + a + " sysctl -qw net.ipv4.ping_group_range='0 2147483647'"}) {
            ASSERT_NO_THROW(test::NetnsPair::Run(command));
        }
    }

    std::string RunInA(const std::function<std::string()>& fn) const { return net->RunInA(fn); }

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

    std::unique_ptr<test::NetnsPair> net;
    std::string a;
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
    test::NetnsPair::Run("ip netns exec " + a + " sysctl -qw net.ipv4.ping_group_range='1 0'");
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
