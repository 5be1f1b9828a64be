#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

#include "probes/icmp_probe.h"

namespace vgx {

namespace {

class SystemResolver final : public Resolver {
public:
    std::string ResolveHost(const std::string& host) override {
        if (host.empty())
            return {};
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_RAW;
        addrinfo* list = nullptr;
        if (::getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0 || list == nullptr)
            return {};
        std::string dotted;
        if (list->ai_addr != nullptr && list->ai_addrlen >= sizeof(sockaddr_in)) {
            sockaddr_in address{};
            std::memcpy(&address, list->ai_addr, sizeof address);
            dotted = DottedAddressOf(address.sin_addr.s_addr);
        }
        ::freeaddrinfo(list);
        return dotted;
    }
};

}  // namespace

std::unique_ptr<Resolver> MakeSystemResolver() {
    return std::make_unique<SystemResolver>();
}

}  // namespace vgx
