#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>

namespace vgx {

// Writes a compiled-in resource to `target`. Whatever has that name (a file, a link) is
// removed first and the file is created anew, exclusively, so it is never written through
// a link. Returns false when the resource is unknown or the file could not be written whole.
bool ExtractResource(unsigned id, std::string_view type, const std::filesystem::path& target,
                     mode_t mode = 0644);

// Writes xp.dat, xp2.dat, menu.dat and menu2.dat into the program directory, every time.
// Returns how many were written.
int ExtractImageFiles(const std::filesystem::path& programDir);

struct ImageFiles {
    std::filesystem::path buttons;  // icons of the settings window's menu buttons
    std::filesystem::path menu;     // icons of the tray menu
};

// A 32-bit display (or none) takes xp.dat and menu.dat; any other depth the second pair.
ImageFiles ImageFilesForDepth(const std::filesystem::path& programDir, int depth);

}  // namespace vgx
