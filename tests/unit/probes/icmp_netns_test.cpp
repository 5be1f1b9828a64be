// Echoes between two network namespaces of the test's own, by each way of sending.
#include <linux/capability.h>
#include <sys/syscall.h>

#include <gtest/gtest.h>

#include <sstream>

#include "netns_pair.h"
#include "probes/icmp_methods.h"
#include "probes/local_addresses.h"

namespace vgx {
namespace {

using Steady = std::chrono::steady_clock;

struct Outcome {
    std::int32_t status = 0;
    std::uint32_t roundTripMs = 0;
    long long elapsedMs = 0;
    bool unavailable = false;
};

// Echoes each address from namespace a with the sender, reporting each outcome.
std::vector<Outcome> EchoFromA(const test::NetnsPair& pair,
                               const std::function<std::unique_ptr<IcmpSender>()>& make,
                               const std::vector<std::string>& addresses) {
    std::istringstream in(pair.RunInA([&] {
        auto sender = make();
        std::ostringstream out;
        for (const std::string& address : addresses) {
            const auto start = Steady::now();
            const EchoResult r = SendEcho(*sender, address, kEchoPayload);
            const auto elapsed =
                std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start);
            out << r.status << ' ' << r.roundTripMs << ' ' << elapsed.count() << ' '
                << !r.unavailable.empty() << '\n';
        }
        return out.str();
    }));
    std::vector<Outcome> outcomes;
    for (Outcome o; in >> o.status >> o.roundTripMs >> o.elapsedMs >> o.unavailable;) {
        outcomes.push_back(o);
    }
    return outcomes;
}

// Drops CAP_NET_RAW from this process (a forked child), so that raw sockets are refused.
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

class Netns : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = test::NetnsPair::Unavailable(); !why.empty()) {
            GTEST_SKIP() << why;
        }
        pair = std::make_unique<test::NetnsPair>();
        // Datagram sockets for every group, in namespace a only.
        pair->InA("sysctl -qw net.ipv4.ping_group_range='0 2147483647'");
        // Namespace b routes 10.77.1.0/24 to nowhere and has no route for 10.77.2.0/24.
        pair->InA("ip route add 10.77.0.0/16 via " + pair->Address(2));
        pair->InB("sysctl -qw net.ipv4.ip_forward=1");
        pair->InB("ip route add unreachable 10.77.1.0/24");
    }
    std::unique_ptr<test::NetnsPair> pair;
};

class IcmpNetns : public Netns, public ::testing::WithParamInterface<IcmpMethod> {};

TEST_P(IcmpNetns, EachOutcomeMapsOntoItsCode) {
    const IcmpMethod method = GetParam();
    const auto outcomes = EchoFromA(
        *pair, [method] { return MakeIcmpSender(method); },
        {pair->Address(2), "10.78.0.1", "10.77.1.1", "10.77.2.1", pair->Address(3), "127.0.0.1"});
    ASSERT_EQ(outcomes.size(), 6U);
    EXPECT_EQ(outcomes[0].status, 0) << "the peer answers";
    EXPECT_LT(outcomes[0].roundTripMs, 1500U);
    EXPECT_EQ(outcomes[1].status, kEchoDestNetUnreachable) << "no route: send refused";
    EXPECT_EQ(outcomes[2].status, kEchoDestHostUnreachable) << "host unreachable from the router";
    EXPECT_EQ(outcomes[3].status, kEchoDestNetUnreachable) << "net unreachable from the router";
    EXPECT_EQ(outcomes[4].status, kEchoTimedOut) << "no neighbour answers";
    EXPECT_GE(outcomes[4].elapsedMs, 1500);
    EXPECT_LE(outcomes[4].elapsedMs, 1700);
    EXPECT_EQ(outcomes[5].status, 0);
    for (const Outcome& o : outcomes)
        EXPECT_FALSE(o.unavailable);
}

INSTANTIATE_TEST_SUITE_P(Methods, IcmpNetns,
                         ::testing::Values(IcmpMethod::kDatagram, IcmpMethod::kRaw,
                                           IcmpMethod::kPingTool),
                         [](const ::testing::TestParamInfo<IcmpMethod>& p) {
                             switch (p.param) {
                                 case IcmpMethod::kDatagram:
                                     return "Datagram";
                                 case IcmpMethod::kRaw:
                                     return "Raw";
                                 case IcmpMethod::kPingTool:
                                     return "PingTool";
                             }
                             return "Unknown";
                         });

TEST_F(Netns, SystemSenderFallsBackToThePingToolThenReportsItHasNoWay) {
    pair->InA("sysctl -qw net.ipv4.ping_group_range='1 0'");
    const std::string peer = pair->Address(2);
    const auto viaTool = EchoFromA(*pair,
                                   [] {
                                       DropNetRaw();
                                       // Both sockets must be refused here, or the fallback is not
                                       // what is measured.
                                       if (RawEcho(0x0100007f, "x", kEchoTimeout, 1, 1))
                                           ::_exit(7);
                                       if (DatagramEcho(0x0100007f, "x", kEchoTimeout, 1))
                                           ::_exit(8);
                                       return MakeSystemIcmpSender();
                                   },
                                   {peer, pair->Address(3)});
    ASSERT_EQ(viaTool.size(), 2U);
    EXPECT_EQ(viaTool[0].status, 0);
    EXPECT_EQ(viaTool[1].status, kEchoTimedOut);

    const auto noWay = EchoFromA(*pair,
                                 [] {
                                     DropNetRaw();
                                     ::setenv("PATH", "/nonexistent", 1);
                                     return MakeSystemIcmpSender();
                                 },
                                 {peer});
    ASSERT_EQ(noWay.size(), 1U);
    EXPECT_EQ(noWay[0].status, 0);
    EXPECT_TRUE(noWay[0].unavailable);
}

TEST_F(Netns, ListsTheNamespacesAddressesInOrder) {
    const std::string listed = pair->RunInA([] {
        std::vector<std::string> lstIP = {"anterior"};
        std::string out = ListLocalAddresses(lstIP) ? "" : "failed";
        for (const std::string& ip : lstIP)
            out += ip + ";";
        return out;
    });
    EXPECT_EQ(listed, "127.0.0.1;" + pair->Address(1) + ";");
}

}  // namespace
}  // namespace vgx
