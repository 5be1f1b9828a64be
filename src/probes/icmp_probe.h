#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "probes/echo_status.h"
#include "probes/ipv4_text.h"
#include "records/event_log.h"

namespace vgx {

inline constexpr const char* kEchoPayload = "pingpingpingpingpingpingpingping";
inline constexpr std::chrono::milliseconds kEchoTimeout{1500};

struct EchoResult {
    std::int32_t status = 0;
    std::uint32_t roundTripMs = 0;
    // Non-empty when nothing could be sent because no way of sending ICMP is open to this
    // process; the text names the cause. The status then stays 0.
    std::string unavailable;
};

// One echo request and the wait for its answer.
class IcmpSender {
public:
    virtual ~IcmpSender() = default;
    virtual EchoResult Echo(std::uint32_t addressNetworkOrder, std::string_view payload,
                            std::chrono::milliseconds timeout) = 0;
};

// Name lookup: the dotted address, or "" when the name does not resolve.
class Resolver {
public:
    virtual ~Resolver() = default;
    virtual std::string ResolveHost(const std::string& host) = 0;
};

// Sends one echo to a dotted address: -1 when the text is not a strict dotted address.
EchoResult SendEcho(IcmpSender& sender, const std::string& address, std::string_view payload);

// Resolves, echoes, and appends the four report lines to text1.
class IcmpProbe {
public:
    IcmpProbe(IcmpSender& sender, Resolver& resolver, std::string& text1, const EventLog* log);

    std::int32_t PingHost(const std::string& host, const std::string& payload);
    const std::string& LastResolvedIP() const { return lastResolvedIP_; }

private:
    void NoteUnavailable();

    IcmpSender& sender_;
    Resolver& resolver_;
    std::string& text1_;
    const EventLog* log_;
    std::string lastResolvedIP_;
};

// Log line written once per process when no way of sending ICMP is available.
inline constexpr std::string_view kIcmpUnavailableLog =
    "PING IMPOSSÍVEL: SEM PERMISSÃO PARA ICMP, NEM PELO PROGRAMA PING ";
// Lets the next probe log the missing ICMP again (for tests).
void ForgetIcmpUnavailableLogged();

std::unique_ptr<IcmpSender> MakeSystemIcmpSender();  // datagram, else raw, else ping tool
std::unique_ptr<Resolver> MakeSystemResolver();      // getaddrinfo, AF_INET, first address

}  // namespace vgx
