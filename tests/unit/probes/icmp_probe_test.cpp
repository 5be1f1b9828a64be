#include "probes/icmp_probe.h"

#include <gtest/gtest.h>

#include "probes/icmp_methods.h"
#include "support/fake_clock.h"
#include "support/todays_log.h"

namespace vgx {
namespace {

class ScriptedSender final : public IcmpSender {
public:
    EchoResult next;
    std::vector<std::string> targets;
    EchoResult Echo(std::uint32_t address, std::string_view payload,
                    std::chrono::milliseconds timeout) override {
        EXPECT_EQ(payload, kEchoPayload);
        EXPECT_EQ(timeout, kEchoTimeout);
        targets.push_back(DottedAddressOf(address));
        return next;
    }
};

// "servidor" resolves, "torto" resolves to a malformed text, anything else fails.
class TableResolver final : public Resolver {
public:
    std::string ResolveHost(const std::string& host) override {
        return host == "servidor" ? "10.0.0.2" : host == "torto" ? "10.0.0" : "";
    }
};

class IcmpProbeTest : public ::testing::Test {
protected:
    ScriptedSender sender;
    TableResolver resolver;
    std::string text1 = "antes\r\n";
    test::FakeClock clock;
    test::TempDir dir;
    EventLog log{dir.path(), clock};
    IcmpProbe probe{sender, resolver, text1, &log};
};

TEST_F(IcmpProbeTest, ReportsTheOutcomeAndSendsOnlyToAValidAddress) {
    EXPECT_EQ(probe.PingHost("nao.existe", kEchoPayload), -1);
    EXPECT_EQ(probe.PingHost("torto", kEchoPayload), -1);
    EXPECT_EQ(probe.LastResolvedIP(), "10.0.0");
    EXPECT_TRUE(sender.targets.empty());
    sender.next = {0, 23, {}};
    EXPECT_EQ(probe.PingHost("servidor", kEchoPayload), 0);
    sender.next = {11010, 0, {}};
    EXPECT_EQ(probe.PingHost("servidor", kEchoPayload), 11010);
    EXPECT_EQ(sender.targets, (std::vector<std::string>{"10.0.0.2", "10.0.0.2"}));
    EXPECT_EQ(probe.LastResolvedIP(), "10.0.0.2");
    EXPECT_EQ(
        text1,
        "antes\r\nnao.existe\r\nIP: \r\nStatus: formato do IP errado   [ -1 ]\r\nTempo: 0 ms\r\n"
        "torto\r\nIP: 10.0.0\r\nStatus: formato do IP errado   [ -1 ]\r\nTempo: 0 ms\r\n"
        "servidor\r\nIP: 10.0.0.2\r\nStatus: ip OK   [ 0 ]\r\nTempo: 23 ms\r\n"
        "servidor\r\nIP: 10.0.0.2\r\nStatus: tempo esgotado   [ 11010 ]\r\nTempo: 0 ms\r\n");
}

TEST_F(IcmpProbeTest, NoWayToSendIcmpCountsAsAnsweringButSaysWhyAndLogsOnce) {
    ForgetIcmpUnavailableLogged();
    sender.next = {0, 0, kIcmpUnavailableText};
    EXPECT_EQ(probe.PingHost("servidor", kEchoPayload), 0);
    EXPECT_EQ(probe.PingHost("servidor", kEchoPayload), 0);
    EXPECT_TRUE(
        text1.ends_with("Status: sem permissão para enviar ICMP, nem pelo programa ping   [ 0 "
                        "]\r\nTempo: 0 ms\r\n"))
        << text1;
    EXPECT_EQ(test::LogMessages(test::TodaysLog(log, clock)),
              std::vector<std::string>{std::string(kIcmpUnavailableLog)});
    ForgetIcmpUnavailableLogged();
}

TEST(IcmpProbeSystem, LoopbackAnswers) {
    auto sender = MakeSystemIcmpSender();
    auto resolver = MakeSystemResolver();
    std::string text1;
    IcmpProbe probe(*sender, *resolver, text1, nullptr);
    const std::int32_t status = probe.PingHost("127.0.0.1", kEchoPayload);
    if (text1.find(kIcmpUnavailableText) != std::string::npos)
        GTEST_SKIP() << "this process may open no ICMP socket and finds no ping tool";
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(text1.starts_with("127.0.0.1\r\nIP: 127.0.0.1\r\nStatus: ip OK   [ 0 ]\r\nTempo: "))
        << text1;
    EXPECT_TRUE(text1.ends_with(" ms\r\n"));
    EXPECT_EQ(resolver->ResolveHost("localhost"), "127.0.0.1");
}

}  // namespace
}  // namespace vgx
