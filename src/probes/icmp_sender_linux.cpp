#include <sys/random.h>

#include "probes/icmp_methods.h"

namespace vgx {

namespace {

std::uint16_t RandomWord() {
    std::uint16_t word = 0;
    if (::getrandom(&word, sizeof word, GRND_NONBLOCK) != sizeof word) {
        word = static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(&word) >> 4);
    }
    return word;
}

EchoResult Unavailable() {
    return EchoResult{0, 0, kIcmpUnavailableText};
}

// Identifier and sequence of this sender's requests.
class Numbering {
public:
    std::uint16_t identifier() const { return identifier_; }
    std::uint16_t NextSequence() { return sequence_++; }

private:
    std::uint16_t identifier_ = RandomWord();
    std::uint16_t sequence_ = RandomWord();
};

class MethodSender final : public IcmpSender {
public:
    explicit MethodSender(IcmpMethod method) : method_(method) {}

    EchoResult Echo(std::uint32_t target, std::string_view payload,
                    std::chrono::milliseconds timeout) override {
        std::optional<EchoResult> result;
        switch (method_) {
            case IcmpMethod::kDatagram:
                result = DatagramEcho(target, payload, timeout, numbers_.NextSequence());
                break;
            case IcmpMethod::kRaw:
                result = RawEcho(target, payload, timeout, numbers_.identifier(),
                                 numbers_.NextSequence());
                break;
            case IcmpMethod::kPingTool:
                result = PingToolEcho(target, payload, timeout);
                break;
        }
        return result ? *result : Unavailable();
    }

private:
    IcmpMethod method_;
    Numbering numbers_;
};

// Tries each method in turn; the first one open to the process sends the echo.
class SystemSender final : public IcmpSender {
public:
    EchoResult Echo(std::uint32_t target, std::string_view payload,
                    std::chrono::milliseconds timeout) override {
        const std::uint16_t sequence = numbers_.NextSequence();
        if (auto r = DatagramEcho(target, payload, timeout, sequence))
            return *r;
        if (auto r = RawEcho(target, payload, timeout, numbers_.identifier(), sequence))
            return *r;
        if (auto r = PingToolEcho(target, payload, timeout))
            return *r;
        return Unavailable();
    }

private:
    Numbering numbers_;
};

}  // namespace

std::unique_ptr<IcmpSender> MakeIcmpSender(IcmpMethod method) {
    return std::make_unique<MethodSender>(method);
}

std::unique_ptr<IcmpSender> MakeSystemIcmpSender() {
    return std::make_unique<SystemSender>();
}

}  // namespace vgx
