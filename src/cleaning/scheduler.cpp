#include "cleaning/scheduler.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "cleaning/folder_cleaner.h"
#include "cleaning/jobs_file.h"

namespace vgx {

namespace {

using namespace std::chrono;

constexpr int kMinutesPerDay = 24 * 60;

int MinuteOfDay(LocalTime t) {
    return static_cast<int>(duration_cast<minutes>(t - DayOf(t)).count());
}

bool IsMonthlyDay(long wanted, LocalDays today) {
    if (wanted < 1 || wanted > 31)
        return false;
    const year_month_day ymd{today};
    const auto day = static_cast<long>(static_cast<unsigned>(ymd.day()));
    if (day == wanted)
        return true;
    const auto last = static_cast<long>(
        static_cast<unsigned>(year_month_day_last{ymd.year(), month_day_last{ymd.month()}}.day()));
    return wanted > last && day == last;
}

float SecondsNow(LocalTime t) {
    return static_cast<float>(SecondsSinceMidnight(t));
}

bool IsMarkedKind(std::uint8_t kind) {
    return kind != static_cast<std::uint8_t>(JobKind::AtStart);
}

}  // namespace

bool IsJobDue(const CleaningJob& job, LocalTime now) {
    switch (static_cast<JobKind>(job.Kind)) {
        case JobKind::AtStart:
            return job.LastRun == 0;
        case JobKind::Hourly:
            return job.LastRun == 0 || SecondsNow(now) - job.LastRun >= 3600.0F;
        case JobKind::Daily:
        case JobKind::Weekly:
        case JobKind::Monthly:
            break;
        default:
            return false;
    }
    const auto hour = ParseHourMinutes(job.Hour.Text());
    if (!hour)
        return false;
    const int t = MinuteOfDay(now);
    if (t < *hour || job.LastRun != 0)
        return false;
    const int e = (t - 5 + kMinutesPerDay) % kMinutesPerDay;  // may lie on the previous evening
    if (*hour < e)
        return false;

    const LocalDays today = DayOf(now);
    const std::string days = job.Days.Text();
    switch (static_cast<JobKind>(job.Kind)) {
        case JobKind::Daily:
            return days.find(static_cast<char>('0' + WeekdayNumber(today))) != std::string::npos;
        case JobKind::Weekly:
            return NumberValue(days) == WeekdayNumber(today);
        default:
            return IsMonthlyDay(NumberValue(days), today);
    }
}

CleaningScheduler::CleaningScheduler(const Clock& clock, CleaningJobs& jobs, const EventLog& log,
                                     std::filesystem::path programDir)
    : CleaningScheduler(
          clock, jobs,
          [this, &log, programDir](const CleaningJob& job) {
              switch (
                  CleanFolder(job.Path.Text(), job.SubDirs, log, programDir, &counts_.removed)) {
                  case CleanOutcome::Cleaned:
                      ++counts_.cleaned;
                      break;
                  case CleanOutcome::Refused:
                      ++counts_.refused;
                      break;
                  case CleanOutcome::Missing:
                      ++counts_.missing;
                      break;
              }
          },
          [&log, &jobs, programDir] {
              if (!SaveCleaningJobs(programDir, jobs))
                  log.WriteLog("FALHA AO GRAVAR FOLDER.DAT! ");
          }) {}

CleaningScheduler::CleaningScheduler(const Clock& clock, CleaningJobs& jobs, Cleaner cleaner,
                                     std::function<void()> marksChanged)
    : clock_(clock),
      jobs_(jobs),
      cleaner_(std::move(cleaner)),
      marksChanged_(std::move(marksChanged)),
      day_(DayOf(clock.Now())) {}

std::optional<LocalTime> CleaningScheduler::NextDue(LocalTime now) const {
    const LocalDays today = DayOf(now);
    std::optional<LocalTime> first;
    const std::size_t count = JobCount(jobs_);
    for (std::size_t i = 0; i < count && i < jobs_.size(); ++i) {
        const CleaningJob& job = jobs_[i];
        // The moments at which this job may become due: now, the next midnight (marks clear),
        // an hour after an hourly run, and the minutes after its hour on the coming days.
        std::vector<LocalTime> candidates{now, LocalTime(today + days{1})};
        if (job.Kind == static_cast<std::uint8_t>(JobKind::Hourly) && job.LastRun != 0) {
            const auto mark = std::chrono::ceil<milliseconds>(duration<double>(job.LastRun));
            candidates.push_back(LocalTime(today) + mark + hours{1});
        }
        if (const auto hour = ParseHourMinutes(job.Hour.Text())) {
            for (int d = 0; d <= 62; ++d) {
                for (int m = 0; m <= 6; ++m)
                    candidates.push_back(LocalTime(today + days{d}) + minutes{*hour + m});
            }
        }
        std::sort(candidates.begin(), candidates.end());
        for (const LocalTime at : candidates) {
            if (at < now || (first && at >= *first))
                continue;
            CleaningJob then = job;
            if (DayOf(at) != day_ && IsMarkedKind(then.Kind))
                then.LastRun = 0;  // a new day has come by then
            if (IsJobDue(then, at)) {
                first = at;
                break;
            }
        }
    }
    return first;
}

bool CleaningScheduler::RunDueJobs() {
    const LocalTime now = clock_.Now();
    if (DayOf(now) != day_) {
        day_ = DayOf(now);
        for (CleaningJob& job : jobs_) {
            if (IsMarkedKind(job.Kind))
                job.LastRun = 0;
        }
    }
    const std::size_t count = JobCount(jobs_);
    bool ran = false;
    for (std::size_t i = 0; i < count && i < jobs_.size(); ++i) {
        if (!IsJobDue(jobs_[i], now))
            continue;
        ran = true;
        cleaner_(jobs_[i]);
        // A run at exactly midnight must still leave a mark.
        const float mark = SecondsNow(clock_.Now());
        jobs_[i].LastRun = mark > 0 ? mark : 0.001F;
    }
    if (ran && marksChanged_)
        marksChanged_();
    return ran;
}

}  // namespace vgx
