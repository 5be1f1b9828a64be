#pragma once

#include <string>
#include <vector>

namespace vgx {

// Refills lstIP with this machine's IPv4 addresses in dotted form, in interface order, loopback
// included. When the table cannot be read or holds no address, lstIP is left as it was and the
// result is false.
bool ListLocalAddresses(std::vector<std::string>& lstIP);

}  // namespace vgx
