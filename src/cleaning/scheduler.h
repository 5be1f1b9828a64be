#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "cleaning/cleaning_job.h"
#include "records/clock.h"
#include "records/event_log.h"

namespace vgx {

// Whether a job is due at `now` (local time), from its kind, Hour, Days and LastRun:
// Daily, Weekly and Monthly from their hour through the fifth minute after it, with no mark;
// AtStart with no mark; Hourly with no mark or 3600 s after it. A Monthly day the month does
// not have falls on the month's last day; day 0 never comes.
bool IsJobDue(const CleaningJob& job, LocalTime now);

// Runs the due jobs and marks them, and tells when the next one falls due. Keeps the day of its
// last run; at the first run of a new day the marks of Daily, Weekly, Monthly and Hourly jobs
// are cleared.
// Cleaning runs since the start, by what each found, and the entries they removed.
struct CleaningCounts {
    std::uint64_t cleaned = 0, refused = 0, missing = 0, removed = 0;
};

class CleaningScheduler {
public:
    // How a due job's folder is emptied; CleanFolder unless a test says otherwise.
    using Cleaner = std::function<void(const CleaningJob&)>;

    CleaningScheduler(const Clock& clock, CleaningJobs& jobs, const EventLog& log,
                      std::filesystem::path programDir);
    CleaningScheduler(const Clock& clock, CleaningJobs& jobs, Cleaner cleaner,
                      std::function<void()> marksChanged = {});

    // Runs every job due now. True when any ran.
    bool RunDueJobs();
    // The first moment from `now` on at which a job is due (now itself when one is), looking up
    // to two months ahead; nothing when none falls due in that time.
    std::optional<LocalTime> NextDue(LocalTime now) const;
    const CleaningCounts& Counts() const { return counts_; }

private:
    const Clock& clock_;
    CleaningJobs& jobs_;
    Cleaner cleaner_;
    // After a tick that ran jobs: keeps their marks in folder.dat, so a restart of the
    // program does not run them again.
    std::function<void()> marksChanged_;
    LocalDays day_;
    CleaningCounts counts_;
};

}  // namespace vgx
