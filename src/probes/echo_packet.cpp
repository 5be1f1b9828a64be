#include "probes/echo_packet.h"

#include <cstring>

#include "probes/echo_status.h"

namespace vgx {

namespace {

constexpr std::uint8_t kEchoReply = 0;
constexpr std::uint8_t kEchoRequest = 8;
constexpr std::uint8_t kDestUnreachable = 3;
constexpr std::uint8_t kSourceQuench = 4;
constexpr std::uint8_t kTimeExceeded = 11;
constexpr std::uint8_t kParameterProblem = 12;
constexpr std::uint8_t kProtocolIcmp = 1;
constexpr std::size_t kIcmpHeader = 8;
constexpr std::size_t kMinIpHeader = 20;

std::uint16_t Read16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>((b[at] << 8) | b[at + 1]);
}

std::uint32_t ReadAddress(std::span<const std::uint8_t> b, std::size_t at) {
    std::uint32_t a = 0;
    std::memcpy(&a, b.data() + at, sizeof a);
    return a;
}

// Length of a valid IPv4 header at the start of b, or 0.
std::size_t IpHeaderLength(std::span<const std::uint8_t> b) {
    if (b.size() < kMinIpHeader || (b[0] >> 4) != 4)
        return 0;
    const std::size_t length = static_cast<std::size_t>(b[0] & 0x0f) * 4;
    if (length < kMinIpHeader || length > b.size())
        return 0;
    return length;
}

bool IsErrorType(std::uint8_t type) {
    return type == kDestUnreachable || type == kSourceQuench || type == kTimeExceeded ||
           type == kParameterProblem;
}

}  // namespace

std::uint16_t InternetChecksum(std::span<const std::uint8_t> bytes) {
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2)
        sum += Read16(bytes, i);
    if (i < bytes.size())
        sum += static_cast<std::uint32_t>(bytes[i]) << 8;
    while ((sum >> 16) != 0)
        sum = (sum & 0xffff) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum & 0xffff);
}

std::vector<std::uint8_t> BuildEchoRequest(std::uint16_t identifier, std::uint16_t sequence,
                                           std::string_view payload) {
    std::vector<std::uint8_t> packet(kIcmpHeader + payload.size());
    packet[0] = kEchoRequest;
    packet[4] = static_cast<std::uint8_t>(identifier >> 8);
    packet[5] = static_cast<std::uint8_t>(identifier & 0xff);
    packet[6] = static_cast<std::uint8_t>(sequence >> 8);
    packet[7] = static_cast<std::uint8_t>(sequence & 0xff);
    if (!payload.empty())
        std::memcpy(packet.data() + kIcmpHeader, payload.data(), payload.size());
    const std::uint16_t sum = InternetChecksum(packet);
    packet[2] = static_cast<std::uint8_t>(sum >> 8);
    packet[3] = static_cast<std::uint8_t>(sum & 0xff);
    return packet;
}

bool IsOurEchoRequest(std::span<const std::uint8_t> icmp, const EchoRequestKey& key) {
    if (icmp.size() < kIcmpHeader || icmp[0] != kEchoRequest || icmp[1] != 0)
        return false;
    if (key.checkIdentifier && Read16(icmp, 4) != key.identifier)
        return false;
    return Read16(icmp, 6) == key.sequence;
}

EchoMatch MatchEchoPacket(std::span<const std::uint8_t> packet, std::uint32_t source,
                          const EchoRequestKey& key, PacketFormat format) {
    std::span<const std::uint8_t> icmp = packet;
    if (format == PacketFormat::kWithIpHeader) {
        const std::size_t ipLength = IpHeaderLength(packet);
        if (ipLength == 0 || packet[9] != kProtocolIcmp)
            return {};
        icmp = packet.subspan(ipLength);
    }
    if (icmp.size() < kIcmpHeader)
        return {};
    const std::uint8_t type = icmp[0];

    if (type == kEchoReply) {
        if (icmp[1] != 0 || source != key.target)
            return {};
        if (key.checkIdentifier && Read16(icmp, 4) != key.identifier)
            return {};
        if (Read16(icmp, 6) != key.sequence)
            return {};
        return {EchoMatch::Kind::kReply, 0};
    }
    if (!IsErrorType(type))
        return {};

    // An error quotes the IP header of the offending datagram and at least 8 bytes of it.
    const std::span<const std::uint8_t> quoted = icmp.subspan(kIcmpHeader);
    const std::size_t innerLength = IpHeaderLength(quoted);
    if (innerLength == 0 || quoted[9] != kProtocolIcmp)
        return {};
    if (ReadAddress(quoted, 16) != key.target)
        return {};
    if (!IsOurEchoRequest(quoted.subspan(innerLength), key))
        return {};
    return {EchoMatch::Kind::kError, StatusForIcmpError(type, icmp[1])};
}

}  // namespace vgx
