// Echoes between two network namespaces of the test's own, by each way of sending.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <sstream>

#include "probes/icmp_methods.h"
#include "probes/local_addresses.h"
#include "support/netns_pair.h"

namespace vgx {
namespace {

using namespace std::chrono_literals;
using test::NetnsPair;

// The pair of namespaces, where b routes 10.77.1.0/24 to "unreachable" and has no route for
// 10.77.2.0/24. Both are deleted at the end of the test.
class Netns : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = NetnsPair::Unavailable(); !why.empty())
            GTEST_SKIP() << why;
        net = std::make_unique<NetnsPair>();
        const std::string a = "ip netns exec " + net->a(), b = "ip netns exec " + net->b();
        for (const std::string& command :
             {a + " ip route add 10.77.0.0/16 via 10.201.0.2",
              b + " ip route add unreachable 10.77.1.0/24", b + " sysctl -qw net.ipv4.ip_forward=1",
              a + " sysctl -qw net.ipv4.ping_group_range='0 2147483647'"})
            ASSERT_NO_THROW(NetnsPair::Run(command));
    }

    // Echoes each address from namespace a: "status elapsed;" per address, where elapsed is "now"
    // under 0.1 s and "1.5s" from 1.5 s to 1.7 s; "!" marks an echo that could not be sent.
    std::string EchoFromA(const std::function<std::unique_ptr<IcmpSender>()>& make,
                          const std::vector<std::string>& addresses) const {
        return net->RunInA([&] {
            auto sender = make();
            std::ostringstream out;
            for (const std::string& address : addresses) {
                const auto start = std::chrono::steady_clock::now();
                const EchoResult r = SendEcho(*sender, address, kEchoPayload);
                const auto ms = (std::chrono::steady_clock::now() - start) / 1ms;
                out << r.status << ' '
                    << (ms < 100                  ? "now"
                        : ms >= 1500 && ms < 1700 ? "1.5s"
                                                  : std::to_string(ms))
                    << (r.unavailable.empty() ? ";" : " !;");
            }
            return out.str();
        });
    }

    std::unique_ptr<NetnsPair> net;
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

// Fresh namespaces for each way of sending: the neighbour cache and the ICMP error rate limit
// would carry over from one to the next.
class IcmpNetns : public Netns, public ::testing::WithParamInterface<IcmpMethod> {};

// Peer, net unreachable (from b), host unreachable (route), no route (in b), no neighbour,
// loopback.
TEST_P(IcmpNetns, EachOutcomeMapsOntoItsCode) {
    const IcmpMethod method = GetParam();
    EXPECT_EQ(
        EchoFromA([method] { return MakeIcmpSender(method); },
                  {"10.201.0.2", "10.78.0.1", "10.77.1.1", "10.77.2.1", "10.201.0.3", "127.0.0.1"}),
        "0 now;11002 now;11003 now;11002 now;11010 1.5s;0 now;");
}

INSTANTIATE_TEST_SUITE_P(Methods, IcmpNetns,
                         ::testing::Values(IcmpMethod::kDatagram, IcmpMethod::kRaw,
                                           IcmpMethod::kPingTool));

TEST_F(Netns, SystemSenderFallsBackToThePingToolThenSaysItHasNoWay) {
    NetnsPair::Run("ip netns exec " + net->a() + " sysctl -qw net.ipv4.ping_group_range='1 0'");
    const auto withoutSockets = [](bool withoutPing) {
        DropNetRaw();
        if (RawEcho(0x0100007f, "x", kEchoTimeout, 1, 1) ||
            DatagramEcho(0x0100007f, "x", kEchoTimeout, 1))
            ::_exit(7);  // both sockets must be refused
        if (withoutPing)
            ::setenv("PATH", "/nonexistent", 1);
        return MakeSystemIcmpSender();
    };
    EXPECT_EQ(EchoFromA([&] { return withoutSockets(false); }, {"10.201.0.2", "10.201.0.3"}),
              "0 now;11010 1.5s;");
    EXPECT_EQ(EchoFromA([&] { return withoutSockets(true); }, {"10.201.0.2"}), "0 now !;");
}

TEST_F(Netns, ListsTheAddressesInInterfaceOrder) {
    EXPECT_EQ(net->RunInA([] {
        std::vector<std::string> lstIP = {"anterior"};
        return ListLocalAddresses(lstIP) ? ::testing::PrintToString(lstIP) : "failed";
    }),
              R"({ "127.0.0.1", "10.201.0.1" })");
}

}  // namespace
}  // namespace vgx
