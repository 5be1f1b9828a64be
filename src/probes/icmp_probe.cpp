#include "probes/icmp_probe.h"

#include <atomic>

namespace vgx {

namespace {

std::atomic<bool> unavailableLogged{false};

}  // namespace

void ForgetIcmpUnavailableLogged() {
    unavailableLogged = false;
}

EchoResult SendEcho(IcmpSender& sender, const std::string& address, std::string_view payload) {
    const auto target = ParseDottedAddress(address);
    if (!target)
        return EchoResult{kEchoBadAddress, 0, {}};
    return sender.Echo(*target, payload, kEchoTimeout);
}

IcmpProbe::IcmpProbe(IcmpSender& sender, Resolver& resolver, std::string& text1,
                     const EventLog* log)
    : sender_(sender), resolver_(resolver), text1_(text1), log_(log) {}

std::int32_t IcmpProbe::PingHost(const std::string& host, const std::string& payload) {
    const std::string address = resolver_.ResolveHost(host);
    text1_ += host + "\r\n";
    text1_ += "IP: " + address + "\r\n";
    lastResolvedIP_ = address;

    const EchoResult result = SendEcho(sender_, address, payload);
    if (result.unavailable.empty()) {
        text1_ += "Status: " + EchoStatusText(result.status) + "\r\n";
    } else {
        // Counted as answering: a watchdog must not restart a machine for want of permission.
        text1_ +=
            "Status: " + result.unavailable + "   [ " + std::to_string(result.status) + " ]\r\n";
        NoteUnavailable();
    }
    text1_ += "Tempo: " + std::to_string(result.roundTripMs) + " ms\r\n";
    return result.status;
}

void IcmpProbe::NoteUnavailable() {
    if (log_ == nullptr || unavailableLogged.exchange(true))
        return;
    log_->WriteLog(kIcmpUnavailableLog);
}

}  // namespace vgx
