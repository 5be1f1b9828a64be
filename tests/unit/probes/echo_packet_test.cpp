#include "probes/echo_packet.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>

#include "probes/echo_status.h"

namespace vgx {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::uint32_t kTarget = inet_addr("10.1.2.3");
const std::uint32_t kOther = inet_addr("10.1.2.4");
constexpr std::uint16_t kId = 0x1234;
constexpr std::uint16_t kSeq = 7;

Bytes IpHeader(std::uint32_t source, std::uint32_t destination) {
    Bytes ip(20);
    ip[0] = 0x45;
    ip[9] = 1;
    std::memcpy(&ip[12], &source, 4);
    std::memcpy(&ip[16], &destination, 4);
    return ip;
}

Bytes Join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Reply(std::uint16_t id, std::uint16_t seq) {
    Bytes icmp = BuildEchoRequest(id, seq, "pingpingpingpingpingpingpingping");
    icmp[0] = 0;
    return icmp;
}

// An ICMP error from a router quoting a request of ours.
Bytes Error(std::uint8_t type, std::uint8_t code, std::uint32_t quotedDestination, std::uint16_t id,
            std::uint16_t seq) {
    const Bytes request = BuildEchoRequest(id, seq, "pingpingpingpingpingpingpingping");
    const Bytes quoted = Join(IpHeader(inet_addr("10.1.0.1"), quotedDestination),
                              Bytes(request.begin(), request.begin() + 8));
    Bytes icmp = Join(Bytes{type, code, 0, 0, 0, 0, 0, 0}, quoted);
    return Join(IpHeader(inet_addr("10.9.9.9"), inet_addr("10.1.0.1")), icmp);
}

EchoMatch Raw(const Bytes& packet, std::uint32_t source = kTarget) {
    return MatchEchoPacket(packet, source, {kTarget, kId, kSeq, true}, PacketFormat::kWithIpHeader);
}

TEST(EchoPacket, BuildsAChecksummedRequest) {
    const Bytes request = BuildEchoRequest(kId, kSeq, "pingpingpingpingpingpingpingping");
    ASSERT_EQ(request.size(), 40U);
    EXPECT_EQ(request[0], 8);
    EXPECT_EQ(request[4], 0x12);
    EXPECT_EQ(request[5], 0x34);
    EXPECT_EQ(request[7], 7);
    EXPECT_EQ(InternetChecksum(request), 0) << "a valid checksum sums to zero";
    EXPECT_EQ(InternetChecksum(BuildEchoRequest(1, 2, "odd")), 0);
}

TEST(EchoPacket, AcceptsOnlyTheReplyToThisRequest) {
    const Bytes reply = Reply(kId, kSeq);
    EXPECT_EQ(Raw(Join(IpHeader(kTarget, kOther), reply)).kind, EchoMatch::Kind::kReply);

    const auto unrelated = [](const Bytes& packet, std::uint32_t source = kTarget) {
        return Raw(packet, source).kind == EchoMatch::Kind::kUnrelated;
    };
    const Bytes otherId = Reply(kId + 1, kSeq);
    const Bytes otherSeq = Reply(kId, kSeq + 1);
    const Bytes request = BuildEchoRequest(kId, kSeq, "pingpingpingpingpingpingpingping");
    EXPECT_TRUE(unrelated(Join(IpHeader(kTarget, kOther), otherId)));
    EXPECT_TRUE(unrelated(Join(IpHeader(kTarget, kOther), otherSeq)));
    EXPECT_TRUE(unrelated(Join(IpHeader(kOther, kTarget), reply), kOther));
    EXPECT_TRUE(unrelated(Join(IpHeader(kTarget, kOther), request)));
    const Bytes whole = Join(IpHeader(kTarget, kOther), reply);
    for (std::size_t cut : {0U, 10U, 19U, 20U, 27U}) {
        EXPECT_TRUE(unrelated(Bytes(whole.begin(), whole.begin() + static_cast<long>(cut)))) << cut;
    }
    Bytes udp = whole;
    udp[9] = 17;
    EXPECT_TRUE(unrelated(udp));
    Bytes badHeaderLength = whole;
    badHeaderLength[0] = 0x4f;
    EXPECT_TRUE(unrelated(badHeaderLength));
}

TEST(EchoPacket, DatagramRepliesAreMatchedWithoutTheIdentifier) {
    const EchoRequestKey key{kTarget, 0, kSeq, false};
    EXPECT_EQ(MatchEchoPacket(Reply(999, kSeq), kTarget, key, PacketFormat::kIcmpOnly).kind,
              EchoMatch::Kind::kReply);
    EXPECT_EQ(MatchEchoPacket(Reply(999, kSeq + 1), kTarget, key, PacketFormat::kIcmpOnly).kind,
              EchoMatch::Kind::kUnrelated);
    EXPECT_EQ(MatchEchoPacket(Reply(999, kSeq), kOther, key, PacketFormat::kIcmpOnly).kind,
              EchoMatch::Kind::kUnrelated);
}

TEST(EchoPacket, ErrorsCountOnlyWhenTheyQuoteThisRequest) {
    const EchoMatch hostUnreachable = Raw(Error(3, 1, kTarget, kId, kSeq), inet_addr("10.9.9.9"));
    EXPECT_EQ(hostUnreachable.kind, EchoMatch::Kind::kError);
    EXPECT_EQ(hostUnreachable.status, kEchoDestHostUnreachable);
    EXPECT_EQ(Raw(Error(11, 0, kTarget, kId, kSeq)).status, kEchoTtlExpiredTransit);
    EXPECT_EQ(Raw(Error(12, 0, kTarget, kId, kSeq)).status, kEchoParameterProblem);

    EXPECT_EQ(Raw(Error(3, 1, kOther, kId, kSeq)).kind, EchoMatch::Kind::kUnrelated);
    EXPECT_EQ(Raw(Error(3, 1, kTarget, kId + 1, kSeq)).kind, EchoMatch::Kind::kUnrelated);
    EXPECT_EQ(Raw(Error(3, 1, kTarget, kId, kSeq + 1)).kind, EchoMatch::Kind::kUnrelated);
    EXPECT_EQ(Raw(Error(5, 1, kTarget, kId, kSeq)).kind, EchoMatch::Kind::kUnrelated)
        << "a redirect is not an answer";
    const Bytes error = Error(3, 1, kTarget, kId, kSeq);
    EXPECT_EQ(Raw(Bytes(error.begin(), error.end() - 1)).kind, EchoMatch::Kind::kUnrelated)
        << "quoted request cut short";
}

}  // namespace
}  // namespace vgx
