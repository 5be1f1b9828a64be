#include "probes/icmp_probe.h"

#include <atomic>

namespace vgx {

namespace {

std::atomic<bool> unavailableLogged{false};

}  // namespace

void ForgetIcmpUnavailableLogged() {
    unavailableLogged = false;
}

LoopHandle SendEcho(EventLoop& loop, IcmpSender& sender, const std::string& address,
                    std::string_view payload, std::function<void(EchoResult)> done) {
    const auto target = ParseDottedAddress(address);
    if (!target)
        return loop.Next([done = std::move(done)] { done(EchoResult{kEchoBadAddress, 0, {}, 0}); });
    return sender.Echo(*target, payload, kEchoTimeout, std::move(done));
}

IcmpProbe::IcmpProbe(EventLoop& loop, IcmpSender& sender, Resolver& resolver, std::string& text1,
                     const EventLog* log)
    : loop_(loop), sender_(sender), resolver_(resolver), text1_(text1), log_(log) {}

namespace {
struct Chain final : LoopRegistration {
    LoopHandle step;
};
}  // namespace

LoopHandle IcmpProbe::PingHost(const std::string& host, const std::string& payload,
                               std::function<void(PingOutcome)> done) {
    auto chain = std::make_unique<Chain>();
    Chain* c = chain.get();
    c->step = resolver_.Resolve(host, [this, c, host, payload, done = std::move(done)](ResolveResult r) mutable {
        text1_ += host + "\r\n";
        text1_ += "IP: " + r.dotted + "\r\n";
        lastResolvedIP_ = r.dotted;
        c->step = SendEcho(loop_, sender_, r.dotted, payload, [this, done = std::move(done)](EchoResult result) {
            if (result.unavailable.empty()) {
                text1_ += "Status: " + EchoStatusText(result.status) + "\r\n";
            } else {
                text1_ += "Status: " + result.unavailable + "   [ " + std::to_string(result.status) + " ]\r\n";
                NoteUnavailable();
            }
            text1_ += "Tempo: " + std::to_string(result.roundTripMs) + " ms\r\n";
            done(PingOutcome{result.status, result.localFault});
        });
    });
    return chain;
}

void IcmpProbe::NoteUnavailable() {
    if (log_ == nullptr || unavailableLogged.exchange(true))
        return;
    log_->WriteLog(kIcmpUnavailableLog);
}

}  // namespace vgx
