#include "cleaning/scheduler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace vgx {
namespace {

using std::chrono::days;
using std::chrono::minutes;
using std::chrono::seconds;

CleaningJob Job(JobKind kind, const std::string& hour, const std::string& daysText,
                const std::string& path = "/nowhere") {
    CleaningJob j;
    j.Path.Assign(path);
    j.Kind = static_cast<std::uint8_t>(kind);
    j.Hour.Assign(hour);
    if (!daysText.empty())
        j.Days.Assign(daysText);
    return j;
}

LocalTime At(int y, unsigned m, unsigned d, int h, int min) {
    return MakeLocalTime(y, m, d, h, min);
}

// Ticks every 23 s over [from, to) and returns the times at which the job ran.
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
        while (clock.Now() < end) {
            scheduler.tmrPasta_ThatTime();
            clock.Advance(seconds{23});
        }
        return runs.size() - before;
    }
};

TEST(IsJobDue, DailyRunsFromItsHourThroughTheFifthMinuteOnListedWeekdays) {
    const LocalTime monday = At(2026, 12, 7, 0, 0);
    ASSERT_EQ(WeekdayNumber(DayOf(monday)), 2);
    const CleaningJob job = Job(JobKind::Daily, "08:30", "2#4#6");
    EXPECT_FALSE(IsJobDue(job, monday + minutes{8 * 60 + 29} + seconds{59}));
    EXPECT_TRUE(IsJobDue(job, monday + minutes{8 * 60 + 30}));
    EXPECT_TRUE(IsJobDue(job, monday + minutes{8 * 60 + 35} + seconds{59}));
    EXPECT_FALSE(IsJobDue(job, monday + minutes{8 * 60 + 36}));
    EXPECT_FALSE(IsJobDue(job, monday + days{1} + minutes{8 * 60 + 31}));  // Tuesday

    CleaningJob ran = job;
    ran.LastRun = 30600;
    EXPECT_FALSE(IsJobDue(ran, monday + minutes{8 * 60 + 31}));
}

TEST(IsJobDue, HoursNearMidnight) {
    const LocalTime day = At(2026, 12, 7, 0, 0);
    const CleaningJob late = Job(JobKind::Daily, "23:58", "1234567");
    EXPECT_TRUE(IsJobDue(late, day + minutes{23 * 60 + 58}));
    EXPECT_TRUE(IsJobDue(late, day + minutes{23 * 60 + 59}));
    for (int m = 0; m < 5; ++m)
        EXPECT_FALSE(IsJobDue(late, day + days{1} + minutes{m})) << m;

    // Until 00:05 the five-minute window still lies on the previous evening.
    const CleaningJob early = Job(JobKind::Daily, "00:02", "1234567");
    for (int m = 0; m < 5; ++m)
        EXPECT_FALSE(IsJobDue(early, day + minutes{m})) << m;
    EXPECT_TRUE(IsJobDue(early, day + minutes{5}));
    EXPECT_TRUE(IsJobDue(early, day + minutes{7}));
    EXPECT_FALSE(IsJobDue(early, day + minutes{8}));
    const CleaningJob midnight = Job(JobKind::Weekly, "00:00", "2");
    EXPECT_TRUE(IsJobDue(midnight, day + minutes{5}));
    EXPECT_FALSE(IsJobDue(midnight, day + minutes{6}));
}

TEST(IsJobDue, MonthlyDaysPastTheMonthsEndFallOnItsLastDay) {
    const auto due = [](const char* d, int y, unsigned m, unsigned dd) {
        return IsJobDue(Job(JobKind::Monthly, "08:00", d), At(y, m, dd, 8, 1));
    };
    EXPECT_TRUE(due("31", 2026, 1, 31));
    EXPECT_FALSE(due("31", 2026, 1, 30));
    EXPECT_TRUE(due("31", 2026, 4, 30));
    EXPECT_FALSE(due("31", 2026, 4, 29));
    EXPECT_TRUE(due("29", 2026, 2, 28));
    EXPECT_TRUE(due("30", 2026, 2, 28));
    EXPECT_TRUE(due("31", 2026, 2, 28));
    EXPECT_FALSE(due("31", 2028, 2, 28));  // leap year: the 29th is the last day
    EXPECT_TRUE(due("31", 2028, 2, 29));
    EXPECT_TRUE(due("29", 2028, 2, 29));
    EXPECT_FALSE(due("30", 2026, 3, 31));
    EXPECT_TRUE(due("07", 2026, 3, 7));

    // Day 0 (and anything past 31) never comes.
    for (int d = 0; d < 366; ++d) {
        const LocalTime t = At(2028, 1, 1, 8, 2) + days{d};
        EXPECT_FALSE(IsJobDue(Job(JobKind::Monthly, "08:00", "00"), t));
        EXPECT_FALSE(IsJobDue(Job(JobKind::Monthly, "08:00", "45"), t));
        EXPECT_FALSE(IsJobDue(Job(JobKind::Monthly, "08:00", ""), t));
    }
}

TEST(CleaningScheduler, DailyJobRunsOncePerListedDay) {
    TickedJob r(At(2026, 12, 7, 8, 0), Job(JobKind::Daily, "08:30", "2#4#6"));  // Monday
    EXPECT_EQ(r.TickUntil(At(2026, 12, 7, 9, 0)), 1U);
    EXPECT_EQ(ToCivil(r.runs[0]).minute, 30);
    r.clock.Set(At(2026, 12, 8, 8, 0));  // Tuesday
    EXPECT_EQ(r.TickUntil(At(2026, 12, 8, 9, 0)), 0U);
    r.clock.Set(At(2026, 12, 9, 8, 0));  // Wednesday: yesterday's change of day cleared it
    EXPECT_EQ(r.TickUntil(At(2026, 12, 9, 9, 0)), 1U);
}

TEST(CleaningScheduler, AtStartRunsOnceUntilItsMarkIsCleared) {
    TickedJob r(At(2026, 12, 7, 23, 50), Job(JobKind::AtStart, "", ""));
    EXPECT_EQ(r.TickUntil(At(2026, 12, 8, 0, 30)), 1U);  // not again after midnight
    EXPECT_EQ(r.runs[0], At(2026, 12, 7, 23, 50));
    r.jobs[0].LastRun = 0;  // edited
    EXPECT_EQ(r.TickUntil(At(2026, 12, 8, 0, 31)), 1U);

    TickedJob midnight(At(2026, 12, 8, 0, 0), Job(JobKind::AtStart, "", ""));
    EXPECT_EQ(midnight.TickUntil(At(2026, 12, 8, 0, 10)), 1U);  // a run at 0 s still marks
}

TEST(CleaningScheduler, HourlyRunsFromZeroThenEveryHourAndAgainAfterMidnight) {
    TickedJob r(At(2026, 12, 7, 21, 10), Job(JobKind::Hourly, "", ""));
    EXPECT_EQ(r.TickUntil(At(2026, 12, 8, 1, 0)), 4U);
    // 21:10, 22:10, 23:10, then the mark goes at the change of day.
    EXPECT_GE(r.runs[3], At(2026, 12, 8, 0, 0));
    EXPECT_LT(r.runs[3], At(2026, 12, 8, 0, 0) + seconds{23});
    for (std::size_t i = 1; i < 3; ++i) {
        const auto gap = r.runs[i] - r.runs[i - 1];
        EXPECT_GE(gap, std::chrono::hours{1});
        EXPECT_LT(gap, std::chrono::hours{1} + seconds{23});
    }
}

TEST(CleaningScheduler, AMissingFolderIsLoggedOnceAndMarked) {
    test::TempDir dir;
    test::FakeClock clock(At(2026, 12, 7, 10, 0));
    EventLog log(dir.path(), clock);
    const std::string gone = (dir.path() / "gone").string();
    CleaningJobs jobs{Job(JobKind::Daily, "10:00", "2", gone)};
    CleaningScheduler scheduler(clock, jobs, log, dir.path());
    for (int i = 0; i < 10; ++i) {
        scheduler.tmrPasta_ThatTime();
        clock.Advance(seconds{23});
    }
    const std::string text = test::ReadFile(log.FileForDay(DayOf(clock.Now())));
    EXPECT_EQ(text, "07/12/2026 10:00:00   PASTA NÃO EXISTE! -> " + gone + "\r\n");
    EXPECT_EQ(jobs[0].LastRun, 36000.0F);
}

}  // namespace
}  // namespace vgx
