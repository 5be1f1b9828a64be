#pragma once

#include <filesystem>
#include <functional>

#include "cleaning/cleaning_job.h"
#include "records/clock.h"
#include "records/event_log.h"

namespace vgx {

// Whether a job is due at `now` (local time), from its kind, Hour, Days and LastRun:
// Daily, Weekly and Monthly from their hour through the fifth minute after it, with no mark;
// AtStart with no mark; Hourly with no mark or 3600 s after it. A Monthly day the month does
// not have falls on the month's last day; day 0 never comes.
bool IsJobDue(const CleaningJob& job, LocalTime now);

// The cleaning timer's work: runs the due jobs and marks them. Keeps the day of its last
// tick; at the first tick of a new day the marks of Daily, Weekly, Monthly and Hourly jobs
// are cleared.
class CleaningScheduler {
public:
    // How a due job's folder is emptied; CleanFolder unless a test says otherwise.
    using Cleaner = std::function<void(const CleaningJob&)>;

    CleaningScheduler(const Clock& clock, CleaningJobs& jobs, const EventLog& log,
                      std::filesystem::path programDir);
    CleaningScheduler(const Clock& clock, CleaningJobs& jobs, Cleaner cleaner,
                      std::function<void()> marksChanged = {});

    // One tick of the 23-second timer.
    void tmrPasta_ThatTime();

private:
    const Clock& clock_;
    CleaningJobs& jobs_;
    Cleaner cleaner_;
    // After a tick that ran jobs: keeps their marks in folder.dat, so a restart of the
    // program does not run them again.
    std::function<void()> marksChanged_;
    LocalDays day_;
};

}  // namespace vgx
