#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "loop/event_loop.h"
#include "probes/icmp_probe.h"

namespace vgx {

// The ways of sending an echo on this platform, in the order the system sender tries them.
enum class IcmpMethod { kDatagram, kRaw, kPingTool };

// Report text when no way of sending ICMP is open to the process.
inline constexpr const char* kIcmpUnavailableText =
    "sem permissão para enviar ICMP, nem pelo programa ping";

// A sender restricted to one method; its echoes report kIcmpUnavailableText when this process
// may not use that method.
std::unique_ptr<IcmpSender> MakeIcmpSender(EventLoop& loop, IcmpMethod method);

// The end of an echo by one method: nullopt when the method is not open to this process (no
// permission for the socket, no ping tool). Called once, from the loop, unless the handle is
// dropped first.
using MethodDone = std::function<void(std::optional<EchoResult>)>;

// One echo by one method; the payload is copied before they return.
LoopHandle DatagramEcho(EventLoop& loop, std::uint32_t target, std::string_view payload,
                        std::chrono::milliseconds timeout, std::uint16_t sequence, MethodDone done);
LoopHandle RawEcho(EventLoop& loop, std::uint32_t target, std::string_view payload,
                   std::chrono::milliseconds timeout, std::uint16_t identifier,
                   std::uint16_t sequence, MethodDone done);
LoopHandle PingToolEcho(EventLoop& loop, std::uint32_t target, std::string_view payload,
                        std::chrono::milliseconds timeout, MethodDone done);

// Whether a call that should have given this process a descriptor, memory or a child failed
// for want of them here rather than for anything on the network.
bool IsLocalShortage(int err);

// The result of an echo whose socket, pipe or child could not be had (errno err).
EchoResult EchoFailure(int err);

// Hands a result known at once to `done` from the loop.
LoopHandle DeliverLater(EventLoop& loop, std::optional<EchoResult> result, MethodDone done);

}  // namespace vgx
