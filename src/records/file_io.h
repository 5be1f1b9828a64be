#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vgx {

// Writes all of `data` to `fd`, going on after interrupted writes. False on any failure.
bool WriteAll(int fd, std::string_view data);

// The program's own executable, read from /proc/self/exe (empty when it cannot be read).
std::filesystem::path ExecutablePath();

// True when nothing at all, not even a dangling link, exists under the path.
bool NameIsFree(const std::filesystem::path& path);

// The whole file, or nothing when it cannot be opened or read or is not a regular file
// (a link to one counts as one).
std::optional<std::string> ReadFileContents(const std::filesystem::path& file);

// Replaces `file` with `data` through a new file in the same folder that is synced and renamed
// over it, so the previous contents stay whole if anything fails. A link is saved through: the
// regular file it leads to is replaced that way and the link stays (a link that leads to no
// regular file fails). False on any failure.
bool ReplaceFileContents(const std::filesystem::path& file, std::string_view data);

}  // namespace vgx
