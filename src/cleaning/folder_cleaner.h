#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "records/event_log.h"

namespace vgx {

enum class CleanOutcome { Missing, Refused, Cleaned };

inline constexpr const char* kLogFolderMissing = "PASTA NÃO EXISTE! -> ";
inline constexpr const char* kLogFolderProtected = "PASTA PROTEGIDA! -> ";
inline constexpr const char* kLogFolderCleaned = "PASTA DELETADA! -> ";

// Empties one job's folder: every non-directory entry directly inside it (hidden and
// read-only ones too, links as links) and, with SubDirs 1, the sub-directories whose names
// have no ".", with all they hold. The folder itself stays. The walk never follows a link,
// never leaves the file system of the folder and holds a fixed number of descriptors at any
// depth. A relative path, and a folder that resolves to a protected place (see
// ProtectedFolders), is refused.
// Writes one log line: missing, protected, or cleaned (failed deletions are not reported).
// `removed`, when given, is raised by the number of entries removed.
CleanOutcome CleanFolder(std::string Path, std::uint8_t SubDirs, const EventLog& log,
                         const std::filesystem::path& programDir, std::uint64_t* removed = nullptr);

}  // namespace vgx
