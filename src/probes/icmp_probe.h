#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "loop/event_loop.h"
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
    // Not 0 when this process itself lacked what the echo needs (EMFILE, ENFILE, ENOMEM: no
    // descriptor or memory for a socket, a pipe or a child): the errno. The echo says nothing of
    // the network then, and the status is kEchoGeneralFailure.
    int localFault = 0;
};

// One echo request and the wait for its answer, on the loop. `done` is called once, from the
// loop (never from inside Echo), unless the handle is dropped first.
class IcmpSender {
public:
    virtual ~IcmpSender() = default;
    virtual LoopHandle Echo(std::uint32_t addressNetworkOrder, std::string_view payload,
                            std::chrono::milliseconds timeout,
                            std::function<void(EchoResult)> done) = 0;
};

struct ResolveResult {
    std::string dotted;  // the first IPv4 address, or "" when the name does not resolve
    int localFault = 0;  // as EchoResult's: the lookup failed for want of descriptors or memory
};

// Name lookup off the loop's thread; `done` as IcmpSender's.
class Resolver {
public:
    virtual ~Resolver() = default;
    virtual LoopHandle Resolve(const std::string& host,
                               std::function<void(ResolveResult)> done) = 0;
};

// Sends one echo to a dotted address; a text that is not a strict dotted address gives -1
// (still through the loop).
LoopHandle SendEcho(EventLoop& loop, IcmpSender& sender, const std::string& address,
                    std::string_view payload, std::function<void(EchoResult)> done);

struct PingOutcome {
    std::int32_t status = 0;
    int localFault = 0;  // see EchoResult
};

// Resolves, echoes, and appends the four report lines to text1.
class IcmpProbe {
public:
    IcmpProbe(EventLoop& loop, IcmpSender& sender, Resolver& resolver, std::string& text1,
              const EventLog* log);

    // `done` as IcmpSender's. One ping at a time per probe.
    LoopHandle PingHost(const std::string& host, const std::string& payload,
                        std::function<void(PingOutcome)> done);
    const std::string& LastResolvedIP() const { return lastResolvedIP_; }

private:
    void NoteUnavailable();

    EventLoop& loop_;
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

// Datagram socket, else raw socket, else the ping tool.
std::unique_ptr<IcmpSender> MakeSystemIcmpSender(EventLoop& loop);
// getaddrinfo, AF_INET, first address, off the loop's thread.
std::unique_ptr<Resolver> MakeSystemResolver(EventLoop& loop);

}  // namespace vgx
