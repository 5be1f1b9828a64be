#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "probes/icmp_probe.h"

namespace vgx {

// The ways of sending an echo on this platform, in the order the system sender tries them.
enum class IcmpMethod { kDatagram, kRaw, kPingTool };

// Report text when no way of sending ICMP is open to the process.
inline constexpr const char* kIcmpUnavailableText =
    "sem permissão para enviar ICMP, nem pelo programa ping";

// A sender restricted to one method; its echoes report kIcmpUnavailableText when this process
// may not use that method.
std::unique_ptr<IcmpSender> MakeIcmpSender(IcmpMethod method);

// One echo by one method; nullopt when the method is not open to this process (no permission
// for the socket, no ping tool).
std::optional<EchoResult> DatagramEcho(std::uint32_t target, std::string_view payload,
                                       std::chrono::milliseconds timeout, std::uint16_t sequence);
std::optional<EchoResult> RawEcho(std::uint32_t target, std::string_view payload,
                                  std::chrono::milliseconds timeout, std::uint16_t identifier,
                                  std::uint16_t sequence);
std::optional<EchoResult> PingToolEcho(std::uint32_t target, std::string_view payload,
                                       std::chrono::milliseconds timeout);

}  // namespace vgx
