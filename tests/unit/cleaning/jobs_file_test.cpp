#include "cleaning/jobs_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <iterator>

#include "cleaning/job_list.h"
#include "support/temp_dir.h"

namespace vgx {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

CleaningJob Job(const std::string& path, JobKind kind, const std::string& hour,
                const std::string& days, float lastRun = 0, std::uint8_t subDirs = 0) {
    CleaningJob j;
    j.Path.Assign(path);
    j.Kind = static_cast<std::uint8_t>(kind);
    j.Hour.Assign(hour);
    if (!days.empty())
        j.Days.Assign(days);
    j.LastRun = lastRun;
    j.SubDirs = subDirs;
    return j;
}

TEST(JobRecord, MatchesHandMadeBytes) {
    std::string expected = "/srv/share";
    expected.resize(1024, ' ');
    expected += '\x01';                              // SubDirs
    expected += '\x00';                              // Kind Daily
    expected += "08:30";                             // Hour
    expected += "2#4#6          ";                   // Days, padded
    expected += std::string("\x00\x40\x1c\x46", 4);  // 10000.0f little-endian
    ASSERT_EQ(expected.size(), kJobRecordSize);

    const CleaningJob job = Job("/srv/share", JobKind::Daily, "08:30", "2#4#6", 10000.0F, 1);
    EXPECT_EQ(EncodeJobRecord(job), expected);

    const CleaningJob back = DecodeJobRecord(expected);
    EXPECT_EQ(back.Path.Text(), "/srv/share");
    EXPECT_EQ(back.SubDirs, 1);
    EXPECT_EQ(back.Hour.Text(), "08:30");
    EXPECT_EQ(back.Days.Text(), "2#4#6");
    EXPECT_EQ(back.LastRun, 10000.0F);
}

TEST(JobRecord, LongAccentedPathIsCutOnACharacterBoundary) {
    // 1100 characters; "é" is two bytes, so byte 1024 falls inside one.
    std::string path = "/";
    while (path.size() < 1023)
        path += "é";
    ASSERT_EQ(path.size(), 1023U);  // '/' + 511 x "é"
    path += "éabc";
    for (int i = 0; i < 194; ++i)
        path += "ção";
    path += "ab";  // 1 + 511 + 4 + 582 + 2 = 1100 characters

    CleaningJob job;
    job.Path.Assign(path);
    const std::string rec = EncodeJobRecord(job);
    EXPECT_EQ(rec.substr(0, 1023), path.substr(0, 1023));
    EXPECT_EQ(rec[1023], ' ');
    EXPECT_EQ(job.Path.Text(), path.substr(0, 1023));

    CleaningJob ascii;
    ascii.Path.Assign(std::string(1100, 'a'));
    EXPECT_EQ(ascii.Path.Text(), std::string(1024, 'a'));
}

TEST(JobsFile, LoadsZeroOneTwoRecordsAndIgnoresATrailingPart) {
    TempDir dir;
    const auto file = JobsFilePath(dir.path());

    EXPECT_EQ(ReadCleaningJobs(dir.path()).size(), 1U);  // missing
    EXPECT_TRUE(HasNoJobs(ReadCleaningJobs(dir.path())));
    WriteFile(file, "");
    EXPECT_TRUE(HasNoJobs(ReadCleaningJobs(dir.path())));
    EXPECT_EQ(ReadCleaningJobs(dir.path()).size(), 1U);

    const std::string a = EncodeJobRecord(Job("/a", JobKind::Hourly, "", ""));
    const std::string b = EncodeJobRecord(Job("/b", JobKind::Weekly, "10:00", "3"));
    WriteFile(file, a);
    auto jobs = ReadCleaningJobs(dir.path());
    ASSERT_EQ(JobCount(jobs), 1U);
    EXPECT_EQ(jobs[0].Path.Text(), "/a");

    WriteFile(file, a + b + b.substr(0, 700));
    jobs = ReadCleaningJobs(dir.path());
    ASSERT_EQ(JobCount(jobs), 2U);
    EXPECT_EQ(jobs[1].Path.Text(), "/b");

    SaveCleaningJobs(dir.path(), jobs);
    EXPECT_EQ(ReadFile(file), a + b);  // the partial record is gone

    WriteFile(file, a.substr(0, 1049));
    EXPECT_TRUE(HasNoJobs(ReadCleaningJobs(dir.path())));
}

TEST(JobsFile, DeletingRenumbersAndTheLastDeleteLeavesAnEmptyFile) {
    TempDir dir;
    CleaningJobs jobs{Job("/a", JobKind::Hourly, "", ""), Job("/b", JobKind::Hourly, "", ""),
                      Job("/c", JobKind::Hourly, "", ""), Job("/x", JobKind::Hourly, "", "")};
    jobs[3].SubDirs = kSubDirsMarkedForRemoval;
    jobs.emplace_back();  // a fresh slot is not a job either
    SaveCleaningJobs(dir.path(), jobs);
    EXPECT_EQ(ReadFile(JobsFilePath(dir.path())),
              EncodeJobRecord(jobs[0]) + EncodeJobRecord(jobs[1]) + EncodeJobRecord(jobs[2]));
    jobs.resize(3);

    EXPECT_FALSE(DeleteJob(jobs, 3, dir.path()));
    ASSERT_TRUE(DeleteJob(jobs, 1, dir.path()));
    const auto width = [](std::string_view s) { return static_cast<int>(s.size()); };
    EXPECT_EQ(FillJobList(jobs, width, 100), (JobListLines{{"/a", 0}, {"/c", 1}}));

    ASSERT_TRUE(DeleteJob(jobs, 0, dir.path()));
    ASSERT_TRUE(DeleteJob(jobs, 0, dir.path()));
    EXPECT_EQ(ReadFile(JobsFilePath(dir.path())), "");
    EXPECT_TRUE(HasNoJobs(jobs));
    EXPECT_TRUE(FillJobList(jobs, width, 100).empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temp
}

TEST(JobsFile, StartUpLoadClearsMarksNotOfToday) {
    TempDir dir;
    CleaningJobs jobs{Job("/d", JobKind::Daily, "08:00", "2", 29000.0F),
                      Job("/s", JobKind::AtStart, "", "", 100.0F),
                      Job("/h", JobKind::Hourly, "", "", 7200.0F)};
    SaveCleaningJobs(dir.path(), jobs);
    struct stat st {};
    ASSERT_EQ(::stat(JobsFilePath(dir.path()).c_str(), &st), 0);
    std::tm tm{};
    localtime_r(&st.st_mtime, &tm);
    const LocalDays written =
        DayOf(MakeLocalTime(tm.tm_year + 1900, static_cast<unsigned>(tm.tm_mon + 1),
                            static_cast<unsigned>(tm.tm_mday)));

    auto sameDay = LoadCleaningJobs(dir.path(), written);
    EXPECT_EQ(sameDay[0].LastRun, 29000.0F);
    EXPECT_EQ(sameDay[1].LastRun, 0.0F);  // AtStart runs at every start
    EXPECT_EQ(sameDay[2].LastRun, 7200.0F);

    auto nextDay = LoadCleaningJobs(dir.path(), written + std::chrono::days{1});
    for (const auto& j : nextDay)
        EXPECT_EQ(j.LastRun, 0.0F) << j.Path.Text();
}

}  // namespace
}  // namespace vgx
