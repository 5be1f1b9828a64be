// Name lookup on a thread of its own, so that a slow name server never holds the loop.
#include <netdb.h>
#include <netinet/in.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include "probes/icmp_methods.h"
#include "records/unique_fd.h"

namespace vgx {

namespace {

// What a lookup's thread shares with its handle: the thread writes the result, then wakes the
// loop through the eventfd. Whichever of the two goes last frees it, so a dropped lookup's
// thread still finishes on memory of its own.
struct Lookup {
    UniqueFd wake;
    std::mutex mutex;
    ResolveResult result;
};

ResolveResult LookUp(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_RAW;
    addrinfo* list = nullptr;
    const int rc = ::getaddrinfo(host.c_str(), nullptr, &hints, &list);
    const int err = errno;
    ResolveResult result;
    if (rc == EAI_MEMORY)
        result.localFault = ENOMEM;
    else if (rc == EAI_SYSTEM && IsLocalShortage(err))
        result.localFault = err;
    if (rc != 0 || list == nullptr)
        return result;
    if (list->ai_addr != nullptr && list->ai_addrlen >= sizeof(sockaddr_in)) {
        sockaddr_in address{};
        std::memcpy(&address, list->ai_addr, sizeof address);
        result.dotted = DottedAddressOf(address.sin_addr.s_addr);
    }
    ::freeaddrinfo(list);
    return result;
}

class PendingLookup final : public LoopRegistration {
public:
    PendingLookup(EventLoop& loop, std::shared_ptr<Lookup> lookup,
                  std::function<void(ResolveResult)> done)
        : lookup_(std::move(lookup)), done_(std::move(done)) {
        watch_ = loop.Watch(lookup_->wake.get(), kFdRead, [this](unsigned) { Ended(); });
    }

private:
    void Ended() {
        ResolveResult result;
        {
            const std::lock_guard lock(lookup_->mutex);
            result = std::move(lookup_->result);
        }
        watch_.reset();
        auto done = std::move(done_);
        done(std::move(result));
    }

    std::shared_ptr<Lookup> lookup_;
    std::function<void(ResolveResult)> done_;
    LoopHandle watch_;
};

class SystemResolver final : public Resolver {
public:
    explicit SystemResolver(EventLoop& loop) : loop_(loop) {}

    LoopHandle Resolve(const std::string& host, std::function<void(ResolveResult)> done) override {
        // Nothing to look up: an empty name, or an address already.
        if (host.empty() || ParseDottedAddress(host))
            return Later(ResolveResult{host, 0}, std::move(done));
        auto lookup = std::make_shared<Lookup>();
        lookup->wake.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
        if (!lookup->wake) {
            const int err = errno;
            return Later(ResolveResult{{}, err}, std::move(done));
        }
        try {
            std::thread([lookup, host] {
                ResolveResult result = LookUp(host);
                {
                    const std::lock_guard lock(lookup->mutex);
                    lookup->result = std::move(result);
                }
                const std::uint64_t one = 1;
                [[maybe_unused]] const ssize_t n = ::write(lookup->wake.get(), &one, sizeof one);
            }).detach();
        } catch (const std::system_error& e) {
            return Later(ResolveResult{{}, e.code().value()}, std::move(done));
        }
        return std::make_unique<PendingLookup>(loop_, std::move(lookup), std::move(done));
    }

private:
    LoopHandle Later(ResolveResult result, std::function<void(ResolveResult)> done) {
        return loop_.Next(
            [result = std::move(result), done = std::move(done)] { done(std::move(result)); });
    }

    EventLoop& loop_;
};

}  // namespace

std::unique_ptr<Resolver> MakeSystemResolver(EventLoop& loop) {
    return std::make_unique<SystemResolver>(loop);
}

}  // namespace vgx
