// The ICMP probe's report on a virtual-time loop, and the parsing behind its senders: echo
// packets matched to their request, the ping tool's output, dotted addresses.
#include "probes/icmp_probe.h"

#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "probes/echo_packet.h"
#include "probes/icmp_methods.h"
#include "probes/ping_output.h"
#include "support/fake_loop.h"
#include "support/fake_probes.h"
#include "support/todays_log.h"

namespace vgx {
namespace {

using namespace std::chrono_literals;
using ::testing::EndsWith;
using Bytes = std::vector<std::uint8_t>;
using Kind = EchoMatch::Kind;

class IcmpProbeTest : public ::testing::Test {
protected:
    // 10 ms later: "servidor" resolves, "torto" to a malformed text, "sem.memoria" finds no
    // memory, "nao.existe" fails.
    IcmpProbeTest() {
        resolver.answers = {{"servidor", {"10.0.0.2", 0}},
                            {"torto", {"10.0.0", 0}},
                            {"sem.memoria", {"", ENOMEM}},
                            {"nao.existe", {"", 0}}};
        resolver.delay = 10ms;
    }
    // One ping run on the loop; the outcome as "status/localFault".
    std::string Ping(const std::string& host) {
        int calls = 0;
        PingOutcome outcome;
        const LoopHandle ping = probe.PingHost(host, kEchoPayload, [&](PingOutcome o) {
            ++calls;
            outcome = o;
        });
        EXPECT_EQ(calls, 0) << "called from inside PingHost";
        loop.RunFor(5s);
        EXPECT_EQ(calls, 1);
        return std::to_string(outcome.status) + "/" + std::to_string(outcome.localFault);
    }

    test::FakeClock clock;
    test::FakeLoop loop{clock};
    test::FakeIcmp sender{loop, clock};
    test::FakeResolver resolver{loop};
    std::string text1 = "antes\r\n";
    test::TempDir dir;
    EventLog log{dir.path(), clock};
    IcmpProbe probe{loop, sender, resolver, text1, &log};
};

TEST_F(IcmpProbeTest, ReportsTheOutcomeSendsOnlyToAValidAddressAndSaysWhenItHasNoWay) {
    EXPECT_EQ(Ping("nao.existe"), "-1/0");
    EXPECT_EQ(Ping("torto"), "-1/0");
    sender.answer = {0, 23, {}};
    EXPECT_EQ(Ping("servidor"), "0/0");
    sender.answer = {11010, 0, {}};
    EXPECT_EQ(Ping("servidor"), "11010/0");
    EXPECT_EQ(sender.echoes, (std::vector<std::string>{"10.0.0.2", "10.0.0.2"}));
    EXPECT_EQ(probe.LastResolvedIP(), "10.0.0.2");
    EXPECT_EQ(
        text1,
        "antes\r\nnao.existe\r\nIP: \r\nStatus: formato do IP errado   [ -1 ]\r\nTempo: 0 ms\r\n"
        "torto\r\nIP: 10.0.0\r\nStatus: formato do IP errado   [ -1 ]\r\nTempo: 0 ms\r\n"
        "servidor\r\nIP: 10.0.0.2\r\nStatus: ip OK   [ 0 ]\r\nTempo: 23 ms\r\n"
        "servidor\r\nIP: 10.0.0.2\r\nStatus: tempo esgotado   [ 11010 ]\r\nTempo: 0 ms\r\n");

    // No way to send ICMP counts as answering, but says why, and is logged once.
    ForgetIcmpUnavailableLogged();
    sender.answer = {0, 0, kIcmpUnavailableText};
    EXPECT_EQ(Ping("servidor"), "0/0");
    EXPECT_EQ(Ping("servidor"), "0/0");
    EXPECT_THAT(text1, EndsWith("Status: sem permissão para enviar ICMP, nem pelo programa ping   "
                                "[ 0 ]\r\nTempo: 0 ms\r\n"));
    EXPECT_EQ(test::LogMessages(test::TodaysLog(log, clock)),
              std::vector<std::string>{std::string(kIcmpUnavailableLog)});
    ForgetIcmpUnavailableLogged();
}

// This process lacking descriptors or memory is told apart from the network's answer, whether
// the echo or the lookup lacked them; a lookup that failed so sends nothing.
TEST_F(IcmpProbeTest, ReportsALocalFaultAsThisProgramsOwn) {
    sender.answer = EchoResult{kEchoGeneralFailure, 0, {}, EMFILE};
    EXPECT_EQ(Ping("servidor"), "11050/" + std::to_string(EMFILE));
    EXPECT_EQ(Ping("sem.memoria"), "11050/" + std::to_string(ENOMEM));
    EXPECT_EQ(sender.echoes.size(), 1U);
    EXPECT_EQ(text1,
              "antes\r\nservidor\r\nIP: 10.0.0.2\r\n"
              "Status: falha local do Vigiax: Too many open files   [ 11050 ]\r\nTempo: 0 ms\r\n"
              "sem.memoria\r\nIP: \r\n"
              "Status: falha local do Vigiax: Cannot allocate memory   [ 11050 ]\r\n"
              "Tempo: 0 ms\r\n");
}

TEST_F(IcmpProbeTest, ADroppedPingCallsNothingAndLeavesNothingArmed) {
    for (const auto dropAfter : {5ms, 15ms}) {  // while resolving, while echoing
        LoopHandle ping = probe.PingHost("servidor", kEchoPayload,
                                         [](PingOutcome) { ADD_FAILURE() << "called"; });
        loop.RunFor(dropAfter);
        ping.reset();
        EXPECT_EQ(loop.Pending(), 0U);
        loop.RunFor(1s);
    }
    EXPECT_EQ(text1, "antes\r\n");
}

const std::uint32_t kTarget = inet_addr("10.1.2.3");
const std::uint32_t kOther = inet_addr("10.1.2.4");
const std::uint32_t kRouter = inet_addr("10.9.9.9");
constexpr std::uint16_t kId = 0x1234;
constexpr std::uint16_t kSeq = 7;

// An IP header, then the given ICMP message.
Bytes WithIp(std::uint32_t source, const Bytes& icmp) {
    Bytes ip(20 + icmp.size());
    ip[0] = 0x45;
    ip[9] = 1;
    std::memcpy(&ip[12], &source, 4);
    std::memcpy(&ip[16], &kOther, 4);
    std::copy(icmp.begin(), icmp.end(), ip.begin() + 20);
    return ip;
}

Bytes Reply(std::uint16_t id, std::uint16_t seq, std::uint8_t type = 0) {
    Bytes icmp = BuildEchoRequest(id, seq, kEchoPayload);
    icmp[0] = type;
    return icmp;
}

// An ICMP error from a router quoting the head of a request sent to quotedTarget.
Bytes Error(std::uint8_t type, std::uint32_t quotedTarget, std::uint16_t id, std::uint16_t seq) {
    const Bytes request = BuildEchoRequest(id, seq, kEchoPayload);
    Bytes quoted = WithIp(kRouter, Bytes(request.begin(), request.begin() + 8));
    std::memcpy(&quoted[16], &quotedTarget, 4);
    Bytes icmp{type, 1, 0, 0, 0, 0, 0, 0};
    icmp.insert(icmp.end(), quoted.begin(), quoted.end());
    return WithIp(kRouter, icmp);
}

EchoMatch Raw(const Bytes& packet, std::uint32_t source = kTarget) {
    return MatchEchoPacket(packet, source, {kTarget, kId, kSeq, true}, PacketFormat::kWithIpHeader);
}

// Raw sockets see all the host's ICMP traffic: only the reply to this request, or an error
// quoting it, counts.
TEST(EchoPacket, OnlyTheReplyOrAnErrorQuotingThisRequestCounts) {
    const Bytes reply = WithIp(kTarget, Reply(kId, kSeq));
    const Bytes unreachable = Error(3, kTarget, kId, kSeq);
    EXPECT_EQ(Raw(reply).kind, Kind::kReply);
    const EchoMatch error = Raw(unreachable, kRouter);
    EXPECT_EQ(error.kind, Kind::kError);
    EXPECT_EQ(error.status, kEchoDestHostUnreachable);
    EXPECT_EQ(Raw(Error(11, kTarget, kId, kSeq)).status, kEchoTtlExpiredReassembly);

    Bytes badHeaderLength = reply;
    badHeaderLength[0] = 0x4f;
    // Another identifier, sequence or type (a request); errors quoting another request, a
    // redirect; cut packets.
    std::vector<Bytes> foreign = {WithIp(kTarget, Reply(kId + 1, kSeq)),
                                  WithIp(kTarget, Reply(kId, kSeq + 1)),
                                  WithIp(kTarget, Reply(kId, kSeq, 8)),
                                  Error(3, kOther, kId, kSeq),
                                  Error(3, kTarget, kId + 1, kSeq),
                                  Error(3, kTarget, kId, kSeq + 1),
                                  Error(5, kTarget, kId, kSeq),
                                  Bytes(unreachable.begin(), unreachable.end() - 1),
                                  badHeaderLength};
    for (long cut : {0, 19, 27})
        foreign.emplace_back(reply.begin(), reply.begin() + cut);
    for (std::size_t i = 0; i < foreign.size(); ++i)
        EXPECT_EQ(Raw(foreign[i]).kind, Kind::kUnrelated) << i;
    EXPECT_EQ(Raw(WithIp(kOther, Reply(kId, kSeq)), kOther).kind, Kind::kUnrelated) << "source";

    // Datagram sockets: the kernel owns the identifier, the rest is still checked.
    const auto datagram = [](std::uint16_t seq, std::uint32_t source) {
        return MatchEchoPacket(Reply(999, seq), source, {kTarget, 0, kSeq, false},
                               PacketFormat::kIcmpOnly)
            .kind;
    };
    EXPECT_EQ(datagram(kSeq, kTarget), Kind::kReply);
    EXPECT_EQ(datagram(kSeq + 1, kTarget), Kind::kUnrelated);
    EXPECT_EQ(datagram(kSeq, kOther), Kind::kUnrelated);
}

// The namespace test meets the reply's outcomes; these are the refusals it cannot provoke.
// nullopt: ping may not open its socket, so it is no way either.
TEST(PingTool, ReadsTheOutcomeFromTheOutput) {
    EXPECT_EQ(
        ParsePingOutput("64 bytes from 10.0.0.2: icmp_seq=1 ttl=64 time=12.7 ms\n", 0)->roundTripMs,
        12U);
    const std::vector<std::tuple<const char*, int, std::optional<std::int32_t>>> cases = {
        {"ping: socktype: SOCK_RAW\nping: socket: Operation not permitted\n"
         "ping: => missing cap_net_raw+p capability or setuid?\n",
         2, std::nullopt},
        {"ping: socket: Permission denied\n", 2, std::nullopt},
        {"ping: socket: Address family not supported by protocol\n", 2, kEchoGeneralFailure}};
    for (const auto& [output, exitStatus, status] : cases) {
        const std::optional<EchoResult> r = ParsePingOutput(output, exitStatus);
        EXPECT_EQ(r ? std::optional(r->status) : std::nullopt, status) << output;
    }
}

TEST(DottedAddress, ParsesOnlyFourDecimalParts) {
    EXPECT_EQ(ParseDottedAddress("255.255.255.255"), 0xffffffffU);
    for (const char* bad :
         {"1.2.3", "256.1.1.1", " 1.2.3.4", "1.2.3.4\n", "0x7f.0.0.1", "010.0.0.1", "localhost"})
        EXPECT_FALSE(ParseDottedAddress(bad)) << bad;
}

}  // namespace
}  // namespace vgx
