#include <sys/random.h>

#include <cerrno>
#include <string>
#include <vector>

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

// Identifier and sequence of this sender's requests.
class Numbering {
public:
    std::uint16_t identifier() const { return identifier_; }
    std::uint16_t NextSequence() { return sequence_++; }

private:
    std::uint16_t identifier_ = RandomWord();
    std::uint16_t sequence_ = RandomWord();
};

struct EchoRequest {
    std::uint32_t target;
    std::string payload;
    std::chrono::milliseconds timeout;
    std::uint16_t identifier;
    std::uint16_t sequence;
};

LoopHandle StartMethod(EventLoop& loop, IcmpMethod method, const EchoRequest& r, MethodDone done) {
    switch (method) {
        case IcmpMethod::kDatagram:
            return DatagramEcho(loop, r.target, r.payload, r.timeout, r.sequence, std::move(done));
        case IcmpMethod::kRaw:
            return RawEcho(loop, r.target, r.payload, r.timeout, r.identifier, r.sequence,
                           std::move(done));
        case IcmpMethod::kPingTool:
            break;
    }
    return PingToolEcho(loop, r.target, r.payload, r.timeout, std::move(done));
}

// One echo through the given methods in turn: the first one open to the process sends it.
class MethodChain final : public LoopRegistration {
public:
    MethodChain(EventLoop& loop, std::vector<IcmpMethod> methods, EchoRequest request,
                std::function<void(EchoResult)> done)
        : loop_(loop),
          methods_(std::move(methods)),
          request_(std::move(request)),
          done_(std::move(done)) {
        Try(0);
    }

private:
    // Called first from the constructor, then only from the loop.
    void Try(std::size_t i) {
        current_ =
            StartMethod(loop_, methods_[i], request_, [this, i](std::optional<EchoResult> result) {
                if (result)
                    Finish(std::move(*result));
                else if (i + 1 < methods_.size())
                    Try(i + 1);
                else
                    Finish(EchoResult{0, 0, kIcmpUnavailableText});
            });
    }

    void Finish(EchoResult result) {
        auto done = std::move(done_);
        done(std::move(result));
    }

    EventLoop& loop_;
    std::vector<IcmpMethod> methods_;
    EchoRequest request_;
    std::function<void(EchoResult)> done_;
    LoopHandle current_;
};

// Datagram socket, raw socket, ping tool, or only the one method given.
class Sender final : public IcmpSender {
public:
    Sender(EventLoop& loop, std::vector<IcmpMethod> methods)
        : loop_(loop), methods_(std::move(methods)) {}

    LoopHandle Echo(std::uint32_t target, std::string_view payload,
                    std::chrono::milliseconds timeout,
                    std::function<void(EchoResult)> done) override {
        EchoRequest request{target, std::string(payload), timeout, numbers_.identifier(),
                            numbers_.NextSequence()};
        return std::make_unique<MethodChain>(loop_, methods_, std::move(request), std::move(done));
    }

private:
    EventLoop& loop_;
    std::vector<IcmpMethod> methods_;
    Numbering numbers_;
};

}  // namespace

bool IsLocalShortage(int err) {
    return err == EMFILE || err == ENFILE || err == ENOMEM || err == ENOBUFS;
}

EchoResult EchoFailure(int err) {
    EchoResult result{kEchoGeneralFailure, 0, {}};
    if (IsLocalShortage(err))
        result.localFault = err;
    return result;
}

LoopHandle DeliverLater(EventLoop& loop, std::optional<EchoResult> result, MethodDone done) {
    return loop.Next(
        [result = std::move(result), done = std::move(done)] { done(std::move(result)); });
}

std::unique_ptr<IcmpSender> MakeIcmpSender(EventLoop& loop, IcmpMethod method) {
    return std::make_unique<Sender>(loop, std::vector<IcmpMethod>{method});
}

std::unique_ptr<IcmpSender> MakeSystemIcmpSender(EventLoop& loop) {
    return std::make_unique<Sender>(
        loop,
        std::vector<IcmpMethod>{IcmpMethod::kDatagram, IcmpMethod::kRaw, IcmpMethod::kPingTool});
}

}  // namespace vgx
