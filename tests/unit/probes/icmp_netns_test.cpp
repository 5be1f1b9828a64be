// The senders and the resolver on a real loop: echoes on loopback and between two network
// namespaces of the test's own, by each way of sending, with the loop left free meanwhile.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>

#include <cerrno>
#include <sstream>

#include "probes/icmp_methods.h"
#include "probes/local_addresses.h"
#include "support/netns_pair.h"
#include "support/poll_loop.h"

namespace vgx {
namespace {

using namespace std::chrono_literals;
using test::NetnsPair;
using test::PollLoop;
using test::Ticker;

constexpr IcmpMethod kMethods[] = {IcmpMethod::kDatagram, IcmpMethod::kRaw, IcmpMethod::kPingTool};

// One echo run on the loop to its end, with a ticker beside it; `late` (when given) gets the
// ticker's worst lateness.
EchoResult Echo(PollLoop& loop, IcmpSender& sender, const std::string& address,
                std::chrono::milliseconds* late = nullptr) {
    const Ticker ticker(loop);
    std::optional<EchoResult> result;
    const LoopHandle echo =
        SendEcho(loop, sender, address, kEchoPayload, [&](EchoResult r) { result = r; });
    loop.RunUntil([&] { return result.has_value(); }, 10s);
    if (late != nullptr)
        *late = ticker.worst;
    return result.value_or(EchoResult{-99, 0, {}});
}

// Whether this process has a child left, reaped or not; WNOWAIT leaves a zombie to its owner.
bool HasChildren() {
    siginfo_t info{};
    return ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0;
}

// Each way open to this process answers on loopback, and says so when this process has no
// descriptor left for it (as does the resolver), rather than blaming the network.
TEST(IcmpLoopback, EachOpenWayAnswersAndTellsAMissingDescriptorApart) {
    PollLoop loop;
    std::vector<std::unique_ptr<IcmpSender>> open;
    for (const IcmpMethod method : kMethods) {
        auto sender = MakeIcmpSender(loop, method);
        const EchoResult r = Echo(loop, *sender, "127.0.0.1");
        if (!r.unavailable.empty())
            continue;
        EXPECT_EQ(r.status, 0) << static_cast<int>(method);
        open.push_back(std::move(sender));
    }
    if (open.empty())
        GTEST_SKIP() << "no way of sending ICMP is open to this process";
    // A first lookup with descriptors to spare (from /etc/hosts), also so that the sanitizers'
    // checks of the types met below need no descriptor either.
    const auto resolver = MakeSystemResolver(loop);
    const auto lookUp = [&] {
        std::optional<ResolveResult> resolved;
        const LoopHandle lookup =
            resolver->Resolve("localhost", [&](ResolveResult r) { resolved = r; });
        loop.RunUntil([&] { return resolved.has_value(); }, 5s);
        return resolved ? resolved->dotted + "/" + std::to_string(resolved->localFault) : "";
    };
    ASSERT_EQ(lookUp(), "127.0.0.1/0");

    // Every descriptor number the process may still have is taken.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    rlimit full = saved;
    full.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &full), 0);
    std::vector<std::string> seen;
    for (const auto& sender : open) {
        const EchoResult r = Echo(loop, *sender, "127.0.0.1");
        seen.push_back(std::to_string(r.status) + "/" + std::to_string(r.localFault));
    }
    const std::string lookup = lookUp();
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(seen, std::vector<std::string>(open.size(), "11050/" + std::to_string(EMFILE)));
    EXPECT_EQ(lookup, "/" + std::to_string(EMFILE));
}

TEST(SystemResolver, ADroppedLookupCallsNothing) {
    PollLoop loop;
    bool called = false;
    MakeSystemResolver(loop)->Resolve("localhost", [&](ResolveResult) { called = true; }).reset();
    loop.RunUntil([] { return false; }, 200ms);
    EXPECT_FALSE(called);
}

// A tool that outlasts its own timeout is killed a second later, and reaped before the echo
// ends.
TEST(PingTool, AStuckToolIsKilledAndReaped) {
    const test::TempDir bin;
    test::WriteFile(bin / "ping", "#!/bin/sh\nexec sleep 30\n");
    std::filesystem::permissions(bin / "ping", std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH");
    ::setenv("PATH", (bin.path().string() + ":" + path).c_str(), 1);
    PollLoop loop;
    const auto start = MonoClock::now();
    const EchoResult r = Echo(loop, *MakeIcmpSender(loop, IcmpMethod::kPingTool), "127.0.0.1");
    const auto elapsed = MonoClock::now() - start;
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(r.status, kEchoTimedOut);
    EXPECT_TRUE(elapsed >= 2500ms && elapsed < 3500ms) << (elapsed / 1ms);
    EXPECT_FALSE(HasChildren());
}

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
    // under 0.1 s and "1.5s free" from 1.5 s to 1.7 s when the ticker beside the echo kept
    // time meanwhile; "!" marks an echo that could not be sent. Its ticks come some 5 ms late;
    // a loop held for the wait would make one 1.5 s late, while the two cores this machine
    // shares make even a bare poll loop up to 100 ms late now and then.
    std::string EchoFromA(const std::function<std::unique_ptr<IcmpSender>(PollLoop&)>& make,
                          const std::vector<std::string>& addresses) const {
        return net->RunInA([&] {
            PollLoop loop;
            auto sender = make(loop);
            std::ostringstream out;
            for (const std::string& address : addresses) {
                std::chrono::milliseconds late{};
                const auto start = MonoClock::now();
                const EchoResult r = Echo(loop, *sender, address, &late);
                const auto ms = (MonoClock::now() - start) / 1ms;
                out << r.status << ' ';
                if (ms < 100)
                    out << "now";
                else if (ms >= 1500 && ms < 1700)
                    out << "1.5s " << (late < 250ms ? "free" : "held");
                else
                    out << ms;
                out << (r.unavailable.empty() ? ";" : " !;");
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
        EchoFromA([method](PollLoop& loop) { return MakeIcmpSender(loop, method); },
                  {"10.201.0.2", "10.78.0.1", "10.77.1.1", "10.77.2.1", "10.201.0.3", "127.0.0.1"}),
        "0 now;11002 now;11003 now;11002 now;11010 1.5s free;0 now;");
}

INSTANTIATE_TEST_SUITE_P(Methods, IcmpNetns, ::testing::ValuesIn(kMethods));

TEST_F(Netns, SystemSenderFallsBackToThePingToolThenSaysItHasNoWay) {
    NetnsPair::Run("ip netns exec " + net->a() + " sysctl -qw net.ipv4.ping_group_range='1 0'");
    const auto withoutSockets = [](PollLoop& loop, bool withoutPing) {
        DropNetRaw();
        for (const IcmpMethod method : {IcmpMethod::kDatagram, IcmpMethod::kRaw}) {
            if (Echo(loop, *MakeIcmpSender(loop, method), "127.0.0.1").unavailable.empty())
                ::_exit(7);  // both sockets must be refused
        }
        if (withoutPing)
            ::setenv("PATH", "/nonexistent", 1);
        return MakeSystemIcmpSender(loop);
    };
    EXPECT_EQ(EchoFromA([&](PollLoop& loop) { return withoutSockets(loop, false); },
                        {"10.201.0.2", "10.201.0.3"}),
              "0 now;11010 1.5s free;");
    EXPECT_EQ(EchoFromA([&](PollLoop& loop) { return withoutSockets(loop, true); }, {"10.201.0.2"}),
              "0 now !;");
}

// Dropped while it waits for a silent address, the tool is killed and reaped, and nothing of it
// stays open.
TEST_F(Netns, ADroppedPingToolEchoLeavesNoChildNorDescriptor) {
    EXPECT_EQ(net->RunInA([] {
        PollLoop loop;
        const auto sender = MakeIcmpSender(loop, IcmpMethod::kPingTool);
        const std::size_t fds = test::Names("/proc/self/fd").size();
        bool called = false;
        LoopHandle echo =
            SendEcho(loop, *sender, "10.201.0.3", kEchoPayload, [&](EchoResult) { called = true; });
        loop.RunUntil([] { return false; }, 300ms);
        const bool ran = HasChildren();
        echo.reset();
        // Well before the tool's own timeout would end it.
        const bool reaped = loop.RunUntil([] { return !HasChildren(); }, 500ms);
        return std::string(ran ? "ran" : "never ran") + (reaped ? " reaped" : " left") +
               (called ? " called" : "") + (test::Names("/proc/self/fd").size() == fds ? "" : " fd left");
    }),
              "ran reaped");
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
