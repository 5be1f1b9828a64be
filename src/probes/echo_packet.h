#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vgx {

// What identifies our echo request among all ICMP traffic.
struct EchoRequestKey {
    std::uint32_t target = 0;  // network order
    std::uint16_t identifier = 0;
    std::uint16_t sequence = 0;
    bool checkIdentifier = true;  // false where the kernel already filters on it
};

// Raw sockets deliver the IP header; ICMP datagram sockets deliver the ICMP message alone.
enum class PacketFormat { kWithIpHeader, kIcmpOnly };

struct EchoMatch {
    enum class Kind { kUnrelated, kReply, kError };
    Kind kind = Kind::kUnrelated;
    std::int32_t status = 0;  // for kError: the echo status code
};

// Echo request: type 8, code 0, identifier, sequence (network order), payload, checksum.
std::vector<std::uint8_t> BuildEchoRequest(std::uint16_t identifier, std::uint16_t sequence,
                                           std::string_view payload);

std::uint16_t InternetChecksum(std::span<const std::uint8_t> bytes);

// Classifies one received packet: the reply to our request, an ICMP error quoting our request,
// or anything else. source is the sender's address (network order) as the socket reported it.
EchoMatch MatchEchoPacket(std::span<const std::uint8_t> packet, std::uint32_t source,
                          const EchoRequestKey& key, PacketFormat format);

// Whether an ICMP message (as queued with a socket error) is our own echo request.
bool IsOurEchoRequest(std::span<const std::uint8_t> icmp, const EchoRequestKey& key);

}  // namespace vgx
