#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "cleaning/cleaning_job.h"
#include "records/date_time.h"

namespace vgx {

inline constexpr std::size_t kJobRecordSize = 1050;
inline constexpr const char* kJobsFileName = "folder.dat";

std::filesystem::path JobsFilePath(const std::filesystem::path& programDir);

// One record of folder.dat: Path, SubDirs, Kind, Hour, Days, LastRun (float, little-endian).
std::string EncodeJobRecord(const CleaningJob& job);
CleaningJob DecodeJobRecord(std::string_view record);  // record.size() == kJobRecordSize

// The table held by the bytes of a folder.dat: one job per whole record, records with an
// empty path and a trailing partial record left out; one empty slot when none remain.
CleaningJobs ParseCleaningJobs(std::string_view bytes);
// The bytes of a folder.dat for the table: its jobs in order, without empty slots and
// without slots marked for removal.
std::string SerializeCleaningJobs(const CleaningJobs& jobs);

// Reads folder.dat as it is: one empty slot when nothing exists under its name; nothing when
// something does but is not a regular file that can be read.
std::optional<CleaningJobs> ReadCleaningJobs(const std::filesystem::path& programDir);

// Start-up load: reads folder.dat and clears the marks that do not belong to `today`:
// every mark when the file was last written on an earlier day, and always those of
// AtStart jobs, which run once at each start.
std::optional<CleaningJobs> LoadCleaningJobs(const std::filesystem::path& programDir,
                                             LocalDays today);

// Writes folder.dat through a new file renamed over the old one. False on failure, with the
// old file whole.
bool SaveCleaningJobs(const std::filesystem::path& programDir, const CleaningJobs& jobs);

}  // namespace vgx
