#pragma once

namespace vgx {

inline constexpr const char* kUnsupportedPlatformMessage =
    "ESSE SISTEMA RODA APENAS NAS VERSÕES 2000/NT/XP";

// The Windows rule: the NT family (platform id 2) from major version 4 on.
constexpr bool IsSupportedWindows(int platformId, int majorVersion) {
    return platformId == 2 && majorVersion >= 4;
}

// Whether the platform this build runs on is supported.
bool IsSupportedPlatform();

}  // namespace vgx
