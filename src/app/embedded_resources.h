#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace vgx {

// Resource ids, by the type names the program looks them up with.
inline constexpr unsigned kResourceIis = 101;    // "IIS": the web-server restart tool
inline constexpr unsigned kResourceXp = 102;     // "XP": menu-button icons, 32-bit display
inline constexpr unsigned kResourceXp2 = 103;    // "XP2": the same for other depths
inline constexpr unsigned kResourceMenu = 104;   // "MENU": tray-menu icons, 32-bit display
inline constexpr unsigned kResourceMenu2 = 105;  // "MENU2": the same for other depths

// The bytes of a resource compiled into the program, or nothing.
std::optional<std::span<const unsigned char>> FindResource(std::string_view type, unsigned id);

}  // namespace vgx
