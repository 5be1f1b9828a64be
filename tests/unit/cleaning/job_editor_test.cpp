#include "cleaning/job_editor.h"

#include <gtest/gtest.h>

#include "cleaning/jobs_file.h"
#include "support/temp_dir.h"

namespace vgx {
namespace {

using Action = ConfirmStep::Action;

TEST(EditorFields, KeysAreFilteredAndFieldsReformattedOnLeaving) {
    for (int k : {int{'0'}, int{'9'}, 3, 8, 22, 24, 26})
        EXPECT_EQ(FilterKey("", k, false), k);
    EXPECT_EQ(FilterKey("08", ':', true), ':');
    EXPECT_EQ(FilterKey("08:", ':', true), 0);
    EXPECT_EQ(FilterKey("", ':', false), 0);
    for (int k : {int{'a'}, int{' '}, 13, 200})
        EXPECT_EQ(FilterKey("", k, true), 0) << k;

    EXPECT_EQ(FormatHourField("8:5"), "08:05");
    for (const char* bad : {"25:00", "12:60", ""})
        EXPECT_EQ(FormatHourField(bad), "00:00") << bad;
    EXPECT_EQ(FormatDayOfMonthField("45"), "01");
    EXPECT_EQ(FormatDayOfMonthField("7"), "07");
    EXPECT_EQ(FormatDayOfMonthField(""), "");
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
    JobEditor New(JobKind kind, const std::filesystem::path& programDir = {}) const {
        JobEditor e(jobs, -1, programDir.empty() ? program.path() : programDir);
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
    EXPECT_EQ(editor.Confirm().What, Action::AskConfirmation);

    editor.SelectKind(JobKind::Hourly);  // no hour needed
    editor.SetHourText("");
    EXPECT_EQ(editor.Confirm().What, Action::AskConfirmation);
    EXPECT_EQ(editor.Cancel(), Question(kCancelText));
}

TEST(JobEditor, CommitEncodesDaysPerKindSavesAndEditingReloadsThem) {
    EditorFixture f;
    JobEditor daily = f.New(JobKind::Daily);
    daily.SetDayChecked(6, true);
    daily.SetDayChecked(2, true);
    EXPECT_EQ(daily.Commit(f.jobs), 0U);  // the empty slot is used
    JobEditor weekly = f.New(JobKind::Weekly);
    weekly.SetWeekdayPosition(3);  // "Quarta"
    weekly.SetSubDirs(true);
    EXPECT_EQ(weekly.Commit(f.jobs), 1U);
    JobEditor monthly = f.New(JobKind::Monthly);
    monthly.SetDayOfMonthText("7");
    monthly.LeaveDayOfMonthField();
    monthly.Commit(f.jobs);
    f.New(JobKind::AtStart).Commit(f.jobs);
    EXPECT_EQ(f.jobs[0].Days.Text() + " " + f.jobs[1].Days.Text() + " " + f.jobs[2].Days.Text(),
              "2#6 4 07");
    EXPECT_EQ(EncodeJobRecord(f.jobs[3]).substr(1031, 15), std::string(15, '\0'));
    EXPECT_EQ(test::ReadFile(JobsFilePath(f.program.path())), SerializeCleaningJobs(f.jobs));

    // A save that fails leaves the table as it was.
    const std::string saved = SerializeCleaningJobs(f.jobs);
    EXPECT_EQ(f.New(JobKind::Hourly, f.program / "gone").Commit(f.jobs), std::nullopt);
    EXPECT_EQ(SerializeCleaningJobs(f.jobs), saved);
    EXPECT_EQ(f.jobs.size(), 4U);

    f.jobs[1].LastRun = 26100;
    JobEditor edit = f.Open(1);
    EXPECT_TRUE(edit.WeekdayPosition() == 3 && edit.SubDirs());
    EXPECT_TRUE(f.Open(0).DayChecked(2) && f.Open(0).DayChecked(6) && !f.Open(0).DayChecked(4));
    EXPECT_EQ(edit.Commit(f.jobs), 1U);  // in place, and its mark cleared
    EXPECT_EQ(f.jobs.size(), 4U);
    EXPECT_EQ(f.jobs[1].LastRun, 0.0F);
}

}  // namespace
}  // namespace vgx
