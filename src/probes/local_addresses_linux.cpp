#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

#include "probes/ipv4_text.h"
#include "probes/local_addresses.h"

namespace vgx {

bool ListLocalAddresses(std::vector<std::string>& lstIP) {
    ifaddrs* table = nullptr;
    if (::getifaddrs(&table) != 0)
        return false;
    std::vector<std::string> found;
    for (const ifaddrs* entry = table; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        sockaddr_in address{};
        std::memcpy(&address, entry->ifa_addr, sizeof address);
        found.push_back(DottedAddressOf(address.sin_addr.s_addr));
    }
    ::freeifaddrs(table);
    if (found.empty())
        return false;
    lstIP = std::move(found);
    return true;
}

}  // namespace vgx
