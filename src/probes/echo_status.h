#pragma once

#include <cstdint>
#include <string>

namespace vgx {

// Echo status codes: 0 and -1 are the probe's own, the rest follow the ICMP helper's values.
inline constexpr std::int32_t kEchoSuccess = 0;
inline constexpr std::int32_t kEchoBadAddress = -1;
inline constexpr std::int32_t kEchoDestNetUnreachable = 11002;
inline constexpr std::int32_t kEchoDestHostUnreachable = 11003;
inline constexpr std::int32_t kEchoDestProtocolUnreachable = 11004;
inline constexpr std::int32_t kEchoDestPortUnreachable = 11005;
inline constexpr std::int32_t kEchoTimedOut = 11010;
inline constexpr std::int32_t kEchoTtlExpiredTransit = 11013;
inline constexpr std::int32_t kEchoTtlExpiredReassembly = 11014;
inline constexpr std::int32_t kEchoParameterProblem = 11015;
inline constexpr std::int32_t kEchoSourceQuench = 11016;
inline constexpr std::int32_t kEchoGeneralFailure = 11050;

// The status text, three blanks and the code in brackets: "tempo esgotado   [ 11010 ]".
std::string EchoStatusText(std::int32_t code);

// Status of an ICMP error message (type, code) received for our request.
std::int32_t StatusForIcmpError(std::uint8_t type, std::uint8_t code);

// Status of a send refused locally with this errno value.
std::int32_t StatusForSendErrno(int err);

}  // namespace vgx
