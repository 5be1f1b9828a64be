#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vgx {

// The four bytes in decimal, joined by ".".
std::string DottedAddress(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d);

// Dotted text of an address held in network byte order.
std::string DottedAddressOf(std::uint32_t addressNetworkOrder);

// Strict parse: exactly four decimal parts 0..255 without leading zeros, nothing else. The address
// in network order.
std::optional<std::uint32_t> ParseDottedAddress(std::string_view text);

}  // namespace vgx
