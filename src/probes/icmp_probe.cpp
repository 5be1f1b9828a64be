#include "probes/icmp_probe.h"

#include <atomic>
#include <cstring>

namespace vgx {

namespace {

std::atomic<bool> unavailableLogged{false};

// A ping's two steps, dropped together.
struct PingSteps final : LoopRegistration {
    LoopHandle resolve;
    LoopHandle echo;
};

// The status line's text for an echo this process could not make itself.
std::string LocalFaultText(const EchoResult& result) {
    return "falha local do Vigiax: " + std::string(std::strerror(result.localFault)) + "   [ " +
           std::to_string(result.status) + " ]";
}

}  // namespace

void ForgetIcmpUnavailableLogged() {
    unavailableLogged = false;
}

LoopHandle SendEcho(EventLoop& loop, IcmpSender& sender, const std::string& address,
                    std::string_view payload, std::function<void(EchoResult)> done) {
    const auto target = ParseDottedAddress(address);
    if (!target)
        return loop.Next([done = std::move(done)] { done(EchoResult{kEchoBadAddress, 0, {}}); });
    return sender.Echo(*target, payload, kEchoTimeout, std::move(done));
}

IcmpProbe::IcmpProbe(EventLoop& loop, IcmpSender& sender, Resolver& resolver, std::string& text1,
                     const EventLog* log)
    : loop_(loop), sender_(sender), resolver_(resolver), text1_(text1), log_(log) {}

LoopHandle IcmpProbe::PingHost(const std::string& host, const std::string& payload,
                               std::function<void(PingOutcome)> done) {
    auto steps = std::make_unique<PingSteps>();
    PingSteps* const ping = steps.get();
    ping->resolve = resolver_.Resolve(
        host, [this, ping, host, payload, done = std::move(done)](ResolveResult resolved) mutable {
            lastResolvedIP_ = resolved.dotted;
            auto report = [this, host, address = resolved.dotted,
                           done = std::move(done)](const EchoResult& result) {
                std::string status;
                if (result.localFault != 0) {
                    status = LocalFaultText(result);
                } else if (result.unavailable.empty()) {
                    status = EchoStatusText(result.status);
                } else {
                    // Counted as answering: a watchdog must not restart a machine for want of
                    // permission.
                    status = result.unavailable + "   [ " + std::to_string(result.status) + " ]";
                    NoteUnavailable();
                }
                text1_ += host + "\r\nIP: " + address + "\r\nStatus: " + status +
                          "\r\nTempo: " + std::to_string(result.roundTripMs) + " ms\r\n";
                done(PingOutcome{result.status, result.localFault});
            };
            if (resolved.localFault != 0) {
                EchoResult fault{kEchoGeneralFailure, 0, {}};
                fault.localFault = resolved.localFault;
                report(fault);
                return;
            }
            ping->echo = SendEcho(loop_, sender_, resolved.dotted, payload, std::move(report));
        });
    return steps;
}

void IcmpProbe::NoteUnavailable() {
    if (log_ == nullptr || unavailableLogged.exchange(true))
        return;
    log_->WriteLog(kIcmpUnavailableLog);
}

}  // namespace vgx
