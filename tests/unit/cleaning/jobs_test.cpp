#include "cleaning/jobs_file.h"

#include <gtest/gtest.h>

#include "cleaning/job_editor.h"
#include "cleaning/job_list.h"
#include "records/clock.h"
#include "support/temp_dir.h"

namespace vgx {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using Action = ConfirmStep::Action;

CleaningJob Job(const std::string& path, JobKind kind = JobKind::Hourly, float lastRun = 0) {
    CleaningJob j;
    j.Path.Assign(path);
    j.Kind = static_cast<std::uint8_t>(kind);
    j.LastRun = lastRun;
    return j;
}

TEST(JobRecord, MatchesHandMadeBytesAndCutsLongPathsOnACharacterBoundary) {
    // The path padded to 1024 bytes, SubDirs, Kind (Daily), Hour, Days padded to 15 bytes, and
    // LastRun as a little-endian float.
    const std::string expected = "/srv/share" + std::string(1014, ' ') +
                                 std::string("\x01\x00", 2) + "08:30" + "2#4#6          " +
                                 std::string("\x00\x40\x1c\x46", 4);
    CleaningJob job = Job("/srv/share", JobKind::Daily, 10000.0F);
    job.SubDirs = 1;
    job.Hour.Assign("08:30");
    job.Days.Assign("2#4#6");
    EXPECT_EQ(EncodeJobRecord(job), expected);
    EXPECT_EQ(EncodeJobRecord(DecodeJobRecord(expected)), expected);

    // 1100 characters; "é" is two bytes, so byte 1024 falls inside one.
    std::string path = "/";
    for (int i = 0; i < 1099; ++i)
        path += "é";
    job.Path.Assign(path);
    EXPECT_EQ(EncodeJobRecord(job).substr(0, 1024), path.substr(0, 1023) + ' ');
    EXPECT_EQ(job.Path.Text(), path.substr(0, 1023));
}

TEST(JobsFile, LoadsZeroOneTwoRecordsAndIgnoresATrailingPart) {
    TempDir dir;
    const auto file = JobsFilePath(dir.path());
    const auto count = [&] { return JobCount(ReadCleaningJobs(dir.path()).value()); };
    EXPECT_EQ(ReadCleaningJobs(dir.path())->size(), 1U);  // missing: one empty slot
    EXPECT_EQ(count(), 0U);
    WriteFile(file, "");
    EXPECT_EQ(count(), 0U);
    const std::string a = EncodeJobRecord(Job("/a")), b = EncodeJobRecord(Job("/b"));
    WriteFile(file, a.substr(0, 1049));
    EXPECT_EQ(count(), 0U);

    WriteFile(file, a + b + b.substr(0, 700));
    const CleaningJobs jobs = ReadCleaningJobs(dir.path()).value();
    ASSERT_EQ(JobCount(jobs), 2U);
    EXPECT_EQ(jobs[1].Path.Text(), "/b");
    ASSERT_TRUE(SaveCleaningJobs(dir.path(), jobs));
    EXPECT_EQ(ReadFile(file), a + b);  // the partial record is gone
}

TEST(JobsFile, DeletingRenumbersAndSavesAndAFailedSaveChangesNothing) {
    TempDir dir;
    CleaningJobs jobs{Job("/a"), Job("/b"), Job("/x"), CleaningJob{}};
    jobs[2].SubDirs = kSubDirsMarkedForRemoval;  // neither it nor the empty slot is saved
    ASSERT_TRUE(SaveCleaningJobs(dir.path(), jobs));
    EXPECT_EQ(ReadFile(JobsFilePath(dir.path())),
              EncodeJobRecord(jobs[0]) + EncodeJobRecord(jobs[1]));
    jobs.resize(2);

    EXPECT_EQ(DeleteJob(jobs, 2, dir.path()), DeleteOutcome::NoSuchJob);
    // A save that fails leaves the table and the file as they were.
    EXPECT_EQ(DeleteJob(jobs, 0, dir / "gone"), DeleteOutcome::SaveFailed);
    EXPECT_EQ(SerializeCleaningJobs(jobs), ReadFile(JobsFilePath(dir.path())));
    ASSERT_EQ(DeleteJob(jobs, 0, dir.path()), DeleteOutcome::Deleted);
    EXPECT_EQ(jobs[0].Path.Text(), "/b");
    EXPECT_EQ(ReadFile(JobsFilePath(dir.path())), EncodeJobRecord(jobs[0]));
    EXPECT_EQ(test::Names(dir.path()), std::set<std::string>{"folder.dat"});  // no temporary file
}

TEST(JobsFile, StartUpLoadClearsMarksNotOfToday) {
    TempDir dir;
    const LocalDays today = DayOf(SystemClock().Now());
    ASSERT_TRUE(SaveCleaningJobs(
        dir.path(), {Job("/d", JobKind::Daily, 29000.0F), Job("/s", JobKind::AtStart, 100.0F),
                     Job("/h", JobKind::Hourly, 7200.0F)}));
    const CleaningJobs sameDay = LoadCleaningJobs(dir.path(), today).value();
    EXPECT_EQ(sameDay[0].LastRun, 29000.0F);
    EXPECT_EQ(sameDay[1].LastRun, 0.0F);  // AtStart runs at every start
    EXPECT_EQ(sameDay[2].LastRun, 7200.0F);
    const CleaningJobs nextDay = LoadCleaningJobs(dir.path(), today + std::chrono::days{1}).value();
    for (const auto& j : nextDay)
        EXPECT_EQ(j.LastRun, 0.0F) << j.Path.Text();
}

// The window's label measures with its font; bytes here, so that a cut may fall inside a character.
TEST(FitPathToWidth, ShortensTheDirectoryPartOnACharacterBoundary) {
    const auto bytes = [](std::string_view s) { return static_cast<int>(s.size()); };
    EXPECT_EQ(FitPathToWidth("/ção/x", bytes, 7), "/.../x");  // "/ç" would need 3 bytes
}

struct EditorFixture {
    test::TempDir program;
    test::TempDir area;
    CleaningJobs jobs = CleaningJobs(1);
    std::string share = (area / "share").string();

    EditorFixture() {
        std::filesystem::create_directory(share);
        std::filesystem::create_directory(program / "logs");
    }
    JobEditor Open(int index = -1) const { return JobEditor(jobs, index, program.path()); }
    JobEditor New(JobKind kind) const {
        JobEditor e = Open();
        e.ChooseFolder(share);
        e.SelectKind(kind);
        e.SetHourText("10:00");
        return e;
    }
};

TEST(JobEditor, AProtectedRelativeOrCancelledFolderDisablesTheKinds) {
    EditorFixture f;
    const Prompt refused{kRefusedFolderText, "ATENÇÃO", PromptIcon::Critical, PromptButtons::Ok};
    for (const std::filesystem::path& folder : {std::filesystem::path("/usr/"),
                                                f.program.path(),
                                                f.program / "logs",
                                                {"logs"},
                                                {"../x"}}) {
        JobEditor editor = f.New(JobKind::Weekly);
        EXPECT_EQ(editor.ChooseFolder(folder.string()), refused) << folder;
        EXPECT_FALSE(editor.KindsEnabled() || editor.Kind() || editor.HourPanelVisible());
        EXPECT_EQ(editor.Folder(), "");
    }
    JobEditor editor = f.Open();
    EXPECT_EQ(editor.ChooseFolder(f.share), std::nullopt);
    EXPECT_TRUE(editor.KindsEnabled());
    EXPECT_EQ(editor.ChooseFolder(""), std::nullopt);  // browser cancelled
    EXPECT_FALSE(editor.KindsEnabled());
}

TEST(JobEditor, ConfirmChecksInOrder) {
    EditorFixture f;
    JobEditor editor = f.Open();
    EXPECT_EQ(editor.Confirm().What, Action::Nothing);  // no kind
    EXPECT_EQ(editor.Cancel(), std::nullopt);

    editor.SelectKind(JobKind::Daily);  // no folder yet: the hour is checked first
    editor.SetHourText("24:00");
    const ConfirmStep step = editor.Confirm();
    EXPECT_EQ(step.Message, ErrorMessage(kInvalidHourText));
    EXPECT_EQ(step.Focus, EditorFocus::Hour);
    editor.SetHourText("8:30");
    EXPECT_EQ(editor.Confirm().Message, ErrorMessage(kNoDaysText));
    editor.SetDayChecked(2, true);
    EXPECT_EQ(editor.Confirm().What, Action::Nothing);  // no folder
    editor.SelectKind(JobKind::Weekly);
    EXPECT_EQ(editor.Confirm().Focus, EditorFocus::WeekdayList);

    ASSERT_EQ(editor.ChooseFolder(f.share), std::nullopt);
    editor.SelectKind(JobKind::Monthly);
    EXPECT_EQ(editor.Confirm().Message, ErrorMessage(kNoDayOfMonthText));
    editor.SetDayOfMonthText("5");
    EXPECT_EQ(editor.Confirm().Message, Question(kConfirmText));

    editor.SelectKind(JobKind::Hourly);  // no hour needed
    editor.SetHourText("");
    EXPECT_EQ(editor.Confirm().What, Action::AskConfirmation);
    EXPECT_EQ(editor.Cancel(), Question(kCancelText));
}

// The window stores a daily job and fails a save; these are the other kinds' days.
TEST(JobEditor, CommitEncodesDaysPerKindSavesAndEditingReloadsThem) {
    EditorFixture f;
    JobEditor weekly = f.New(JobKind::Weekly);
    weekly.SetWeekdayPosition(3);  // "Quarta"
    weekly.SetSubDirs(true);
    EXPECT_EQ(weekly.Commit(f.jobs), 0U);  // the empty slot is used
    JobEditor monthly = f.New(JobKind::Monthly);
    monthly.SetDayOfMonthText("7");
    monthly.LeaveDayOfMonthField();
    EXPECT_EQ(monthly.Commit(f.jobs), 1U);
    f.New(JobKind::AtStart).Commit(f.jobs);
    EXPECT_EQ(f.jobs[0].Days.Text() + " " + f.jobs[1].Days.Text(), "4 07");
    EXPECT_EQ(EncodeJobRecord(f.jobs[2]).substr(1031, 15), std::string(15, '\0'));
    EXPECT_EQ(test::ReadFile(JobsFilePath(f.program.path())), SerializeCleaningJobs(f.jobs));

    JobEditor edit = f.Open(0);
    EXPECT_TRUE(edit.WeekdayPosition() == 3 && edit.SubDirs());
}

}  // namespace
}  // namespace vgx
