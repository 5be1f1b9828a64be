#include "probes/ipv4_text.h"

#include <cstring>

namespace vgx {

std::string DottedAddress(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    return std::to_string(a) + '.' + std::to_string(b) + '.' + std::to_string(c) + '.' +
           std::to_string(d);
}

std::string DottedAddressOf(std::uint32_t addressNetworkOrder) {
    std::uint8_t b[4];
    std::memcpy(b, &addressNetworkOrder, sizeof b);
    return DottedAddress(b[0], b[1], b[2], b[3]);
}

std::optional<std::uint32_t> ParseDottedAddress(std::string_view text) {
    std::uint8_t bytes[4] = {};
    std::size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != '.')
                return std::nullopt;
            ++pos;
        }
        unsigned value = 0;
        std::size_t digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
            value = value * 10 + static_cast<unsigned>(text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255)
            return std::nullopt;
        // "010" is octal to some parsers and decimal to others: refuse it.
        if (digits > 1 && text[pos - digits] == '0')
            return std::nullopt;
        bytes[part] = static_cast<std::uint8_t>(value);
    }
    if (pos != text.size())
        return std::nullopt;
    std::uint32_t address = 0;
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

}  // namespace vgx
