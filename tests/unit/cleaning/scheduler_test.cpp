#include "cleaning/scheduler.h"
#include "cleaning/jobs_file.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace vgx {
namespace {

using std::chrono::days;
using std::chrono::seconds;

CleaningJob Job(JobKind kind, const std::string& hour, const std::string& daysText,
                const std::string& path = "/nowhere") {
    CleaningJob j;
    j.Path.Assign(path);
    j.Kind = static_cast<std::uint8_t>(kind);
    j.Hour.Assign(hour);
    j.Days.Assign(daysText);
    return j;
}

// Monday 7 December 2026.
LocalTime Dec(unsigned d, int h, int min, int s = 0) {
    return MakeLocalTime(2026, 12, d, h, min, s);
}

void ExpectDue(const CleaningJob& job, std::initializer_list<LocalTime> due,
               std::initializer_list<LocalTime> notDue) {
    const std::string what = job.Hour.Text() + " [" + job.Days.Text() + "] at ";
    for (LocalTime t : due)
        EXPECT_TRUE(IsJobDue(job, t)) << what << FormatDateTimeSeconds(t);
    for (LocalTime t : notDue)
        EXPECT_FALSE(IsJobDue(job, t)) << what << FormatDateTimeSeconds(t);
}

TEST(IsJobDue, FromTheHourThroughTheFifthMinuteOnListedDaysAndAroundMidnight) {
    const CleaningJob mwf = Job(JobKind::Daily, "08:30", "2#4#6");
    ExpectDue(mwf, {Dec(7, 8, 30), Dec(7, 8, 35, 59)},
              {Dec(7, 8, 29, 59), Dec(7, 8, 36), Dec(8, 8, 31) /* Tuesday */});
    ExpectDue(Job(JobKind::Daily, "23:58", "1234567"), {Dec(7, 23, 59)},
              {Dec(8, 0, 0), Dec(8, 0, 4)});
    // Until 00:05 the five-minute window still lies on the previous evening.
    ExpectDue(Job(JobKind::Daily, "00:02", "1234567"), {Dec(7, 0, 5), Dec(7, 0, 7)},
              {Dec(7, 0, 2), Dec(7, 0, 4), Dec(7, 0, 8)});
}

TEST(IsJobDue, MonthlyDaysPastTheMonthsEndFallOnItsLastDayAndDayZeroNeverComes) {
    const auto monthly = [](const char* day) { return Job(JobKind::Monthly, "08:00", day); };
    const auto at = [](int y, unsigned m, unsigned d) { return MakeLocalTime(y, m, d, 8, 1); };
    ExpectDue(monthly("31"), {at(2026, 1, 31), at(2026, 4, 30), at(2026, 2, 28), at(2028, 2, 29)},
              {at(2026, 1, 30), at(2026, 4, 29), at(2028, 2, 28) /* leap year */});
    for (const char* never : {"00", "45", ""}) {
        for (LocalTime t = at(2028, 1, 1); t < at(2029, 1, 1); t += days{1})
            EXPECT_FALSE(IsJobDue(monthly(never), t)) << never << " " << FormatDate(DayOf(t));
    }
}

// Sleeps from one due moment to the next until `end`, as the engine does, and records the
// times at which the job ran.
struct TickedJob {
    test::FakeClock clock;
    CleaningJobs jobs;
    std::vector<LocalTime> runs;
    CleaningScheduler scheduler;

    TickedJob(LocalTime start, CleaningJob job)
        : clock(start), jobs{std::move(job)}, scheduler(clock, jobs, [this](const CleaningJob&) {
              runs.push_back(clock.Now());
          }) {}

    std::size_t TickUntil(LocalTime end) {
        const std::size_t before = runs.size();
        for (;;) {
            scheduler.RunDueJobs();
            const auto next = scheduler.NextDue(clock.Now());
            if (!next || *next >= end)
                break;
            EXPECT_GT(*next, clock.Now()) << "nothing left due once the due jobs ran";
            if (*next <= clock.Now())
                break;
            clock.Set(*next);
        }
        clock.Set(end);
        return runs.size() - before;
    }
};

TEST(CleaningScheduler, DailyJobRunsOncePerDayAndTheChangeOfDayClearsIt) {
    TickedJob r(Dec(7, 8, 0), Job(JobKind::Daily, "08:30", "2#4#6"));
    EXPECT_EQ(r.TickUntil(Dec(7, 9, 0)), 1U);
    r.clock.Set(Dec(9, 8, 0));
    EXPECT_EQ(r.TickUntil(Dec(9, 9, 0)), 1U);
    EXPECT_EQ(r.runs, (std::vector{Dec(7, 8, 30), Dec(9, 8, 30)}));
    // The next due moment, weeks ahead: the 31st falls on February's last day.
    const test::FakeClock feb(MakeLocalTime(2026, 2, 1, 9, 0));
    CleaningJobs monthly{Job(JobKind::Monthly, "08:00", "31")};
    const CleaningScheduler later(feb, monthly, [](const CleaningJob&) {});
    EXPECT_EQ(later.NextDue(feb.Now()), MakeLocalTime(2026, 2, 28, 8, 0));
}

TEST(CleaningScheduler, AtStartRunsOnceAndHourlyEveryHourFromZero) {
    TickedJob start(Dec(7, 23, 50), Job(JobKind::AtStart, "", ""));
    EXPECT_EQ(start.TickUntil(Dec(8, 0, 30)), 1U);  // not again after midnight
    TickedJob atZero(Dec(8, 0, 0), Job(JobKind::AtStart, "", ""));
    EXPECT_EQ(atZero.TickUntil(Dec(8, 0, 10)), 1U);  // a run at 0 s still marks

    // 21:10, 22:10, 23:10, then again at the change of day.
    TickedJob hourly(Dec(7, 21, 10), Job(JobKind::Hourly, "", ""));
    ASSERT_EQ(hourly.TickUntil(Dec(8, 1, 0)), 4U);
    EXPECT_EQ(hourly.runs, (std::vector{Dec(7, 21, 10), Dec(7, 22, 10), Dec(7, 23, 10), Dec(8, 0, 0)}));
}

TEST(CleaningScheduler, AMissingFolderIsLoggedOnceAndMarked) {
    test::TempDir dir;
    test::FakeClock clock(Dec(7, 10, 0));
    EventLog log(dir.path(), clock);
    const std::string gone = (dir.path() / "gone").string();
    CleaningJobs jobs{Job(JobKind::Daily, "10:00", "2", gone)};
    CleaningScheduler scheduler(clock, jobs, log, dir.path());
    for (int i = 0; i < 10; ++i, clock.Advance(seconds{23}))
        scheduler.RunDueJobs();
    EXPECT_EQ(test::ReadFile(log.FileForDay(DayOf(clock.Now()))),
              "07/12/2026 10:00:00   PASTA NÃO EXISTE! -> " + gone + "\r\n");
    EXPECT_EQ(jobs[0].LastRun, 36000.0F);
    // The mark is in folder.dat too: a restart today does not run the job again.
    EXPECT_EQ(ReadCleaningJobs(dir.path()).value()[0].LastRun, 36000.0F);
}

}  // namespace
}  // namespace vgx
