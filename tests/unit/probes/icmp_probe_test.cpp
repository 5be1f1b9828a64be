#include "probes/icmp_probe.h"

#include <gtest/gtest.h>

#include "probes/icmp_methods.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace vgx {
namespace {

class ScriptedSender final : public IcmpSender {
public:
    EchoResult next;
    std::vector<std::uint32_t> targets;
    EchoResult Echo(std::uint32_t address, std::string_view payload,
                    std::chrono::milliseconds timeout) override {
        EXPECT_EQ(payload, kEchoPayload);
        EXPECT_EQ(timeout, kEchoTimeout);
        targets.push_back(address);
        return next;
    }
};

class TableResolver final : public Resolver {
public:
    std::string ResolveHost(const std::string& host) override {
        if (host == "servidor")
            return "10.0.0.2";
        if (host == "torto")
            return "10.0.0";
        return {};
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

TEST_F(IcmpProbeTest, UnresolvedNameGivesMinusOneAndFourLinesWithoutSending) {
    EXPECT_EQ(probe.PingHost("nao.existe", kEchoPayload), -1);
    EXPECT_EQ(text1,
              "antes\r\nnao.existe\r\nIP: \r\nStatus: formato do IP errado   [ -1 ]\r\n"
              "Tempo: 0 ms\r\n");
    EXPECT_EQ(probe.LastResolvedIP(), "");
    EXPECT_TRUE(sender.targets.empty());

    EXPECT_EQ(probe.PingHost("torto", kEchoPayload), -1) << "a resolver's bad text is refused";
    EXPECT_EQ(probe.LastResolvedIP(), "10.0.0");
    EXPECT_TRUE(sender.targets.empty());
}

TEST_F(IcmpProbeTest, ReportsTheEchoOutcome) {
    sender.next = {0, 23, {}};
    EXPECT_EQ(probe.PingHost("servidor", kEchoPayload), 0);
    ASSERT_EQ(sender.targets.size(), 1U);
    EXPECT_EQ(DottedAddressOf(sender.targets[0]), "10.0.0.2");
    EXPECT_EQ(probe.LastResolvedIP(), "10.0.0.2");
    sender.next = {11010, 0, {}};
    EXPECT_EQ(probe.PingHost("servidor", kEchoPayload), 11010);
    EXPECT_EQ(text1,
              "antes\r\nservidor\r\nIP: 10.0.0.2\r\nStatus: ip OK   [ 0 ]\r\nTempo: 23 ms\r\n"
              "servidor\r\nIP: 10.0.0.2\r\nStatus: tempo esgotado   [ 11010 ]\r\nTempo: 0 ms\r\n");
}

TEST_F(IcmpProbeTest, NoWayToSendIcmpCountsAsAnsweringButSaysWhyAndLogsOnce) {
    ForgetIcmpUnavailableLogged();
    sender.next = {0, 0, kIcmpUnavailableText};
    EXPECT_EQ(probe.PingHost("servidor", kEchoPayload), 0);
    EXPECT_EQ(probe.PingHost("servidor", kEchoPayload), 0);
    EXPECT_NE(text1.find("Status: sem permissão para enviar ICMP e sem o programa ping   [ 0 ]\r\n"
                         "Tempo: 0 ms\r\n"),
              std::string::npos)
        << text1;
    const std::string logged = test::ReadFile(log.FileForDay(DayOf(clock.Now())));
    EXPECT_EQ(logged, "05/12/2026 14:05:09   " + std::string(kIcmpUnavailableLog) + "\r\n");
    ForgetIcmpUnavailableLogged();
}

TEST(IcmpProbeSystem, LoopbackAnswers) {
    auto sender = MakeSystemIcmpSender();
    auto resolver = MakeSystemResolver();
    std::string text1;
    IcmpProbe probe(*sender, *resolver, text1, nullptr);
    const std::int32_t status = probe.PingHost("127.0.0.1", kEchoPayload);
    if (text1.find(kIcmpUnavailableText) != std::string::npos) {
        GTEST_SKIP() << "this process may open no ICMP socket and finds no ping tool";
    }
    EXPECT_EQ(status, 0);
    EXPECT_EQ(probe.LastResolvedIP(), "127.0.0.1");
    EXPECT_TRUE(text1.starts_with("127.0.0.1\r\nIP: 127.0.0.1\r\nStatus: ip OK   [ 0 ]\r\nTempo: "))
        << text1;
    EXPECT_TRUE(text1.ends_with(" ms\r\n"));

    EXPECT_EQ(resolver->ResolveHost("localhost"), "127.0.0.1");
    EXPECT_EQ(resolver->ResolveHost(""), "");
}

}  // namespace
}  // namespace vgx
