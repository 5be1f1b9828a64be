#pragma once

#include <filesystem>
#include <string>

namespace vgx {

// Small program-wide services asked for by several subsystems.
class UtilityObject {
public:
    // True exactly when a regular file exists at the path.
    static bool FileExists(const std::filesystem::path& path);
    // Directories that a cleaning job may never name; each ends with "/".
    static std::string FirstProtectedDirectory() { return "/usr/"; }
    static std::string SecondProtectedDirectory() { return "/etc/"; }
    // Notification from the settings text boxes; nothing depends on it.
    static void TextActivity() {}
};

}  // namespace vgx
