#include "cleaning/job_editor.h"

#include <gtest/gtest.h>

#include "cleaning/job_list.h"
#include "cleaning/jobs_file.h"
#include "support/temp_dir.h"

namespace vgx {
namespace {

using Action = ConfirmStep::Action;
using test::TempDir;

TEST(FilterKey, KeepsDigitsControlKeysAndOneColonInTheHour) {
    for (int k : {int{'0'}, int{'5'}, int{'9'}, 3, 8, 22, 24, 26}) {
        EXPECT_EQ(FilterKey("", k, true), k);
        EXPECT_EQ(FilterKey("", k, false), k);
    }
    EXPECT_EQ(FilterKey("08", ':', true), ':');
    EXPECT_EQ(FilterKey("08:", ':', true), 0);
    EXPECT_EQ(FilterKey("", ':', false), 0);
    for (int k : {int{'a'}, int{' '}, int{'-'}, 13, 127, 200})
        EXPECT_EQ(FilterKey("", k, true), 0) << k;
}

TEST(EditorFields, AreReformattedOnLeaving) {
    EXPECT_EQ(FormatHourField("8:5"), "08:05");
    EXPECT_EQ(FormatHourField("23:59"), "23:59");
    EXPECT_EQ(FormatHourField("25:00"), "00:00");
    EXPECT_EQ(FormatHourField("12:60"), "00:00");
    EXPECT_EQ(FormatHourField(""), "00:00");
    EXPECT_EQ(FormatHourField("0830"), "00:00");
    EXPECT_EQ(FormatDayOfMonthField("45"), "01");
    EXPECT_EQ(FormatDayOfMonthField("7"), "07");
    EXPECT_EQ(FormatDayOfMonthField("31"), "31");
    EXPECT_EQ(FormatDayOfMonthField(""), "");
}

struct EditorFixture {
    TempDir program;
    TempDir area;
    CleaningJobs jobs = CleaningJobs(1);

    std::string Share() {
        std::filesystem::create_directories(area / "share");
        return (area / "share").string();
    }
};

TEST(JobEditor, RefusedOrCancelledFolderDisablesTheKinds) {
    EditorFixture f;
    JobEditor editor(f.jobs, -1, f.program.path());
    EXPECT_FALSE(editor.KindsEnabled());
    EXPECT_EQ(editor.ChooseFolder(f.Share()), std::nullopt);
    EXPECT_TRUE(editor.KindsEnabled());
    editor.SelectKind(JobKind::Weekly);
    EXPECT_TRUE(editor.HourPanelVisible());
    EXPECT_EQ(editor.InfoLabel(), "cada");

    const auto refused = editor.ChooseFolder("/usr/");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->Text, kRefusedFolderText);
    EXPECT_EQ(refused->Title, "ATENÇÃO");
    EXPECT_EQ(refused->Icon, PromptIcon::Critical);
    EXPECT_FALSE(editor.KindsEnabled());
    EXPECT_FALSE(editor.Kind());
    EXPECT_FALSE(editor.HourPanelVisible());
    EXPECT_EQ(editor.Folder(), "");
    EXPECT_TRUE(editor.ChooseFolder("/"));
    EXPECT_TRUE(editor.ChooseFolder(f.program.path().string()));

    EXPECT_EQ(editor.ChooseFolder(f.Share()), std::nullopt);
    EXPECT_EQ(editor.ChooseFolder(""), std::nullopt);  // browser cancelled
    EXPECT_FALSE(editor.KindsEnabled());
}

TEST(JobEditor, ConfirmChecksInOrder) {
    EditorFixture f;
    JobEditor editor(f.jobs, -1, f.program.path());
    EXPECT_EQ(editor.Confirm().What, Action::Nothing);  // no kind

    editor.SelectKind(JobKind::Daily);  // no folder yet: the hour is checked first
    editor.SetHourText("24:00");
    ConfirmStep step = editor.Confirm();
    EXPECT_EQ(step.What, Action::ShowMessage);
    EXPECT_EQ(step.Message, ErrorMessage(kInvalidHourText));
    EXPECT_EQ(step.Message->Title, "ERRO");
    EXPECT_EQ(step.Focus, EditorFocus::Hour);

    editor.SetHourText("8:30");
    EXPECT_EQ(editor.Confirm().Message, ErrorMessage(kNoDaysText));
    editor.SetDayChecked(2, true);
    EXPECT_EQ(editor.Confirm().What, Action::Nothing);  // no folder

    editor.SelectKind(JobKind::Weekly);
    step = editor.Confirm();
    EXPECT_EQ(step.Message, ErrorMessage(kNoWeekdayText));
    EXPECT_EQ(step.Focus, EditorFocus::WeekdayList);

    ASSERT_EQ(editor.ChooseFolder(f.Share()), std::nullopt);
    editor.SelectKind(JobKind::Monthly);
    step = editor.Confirm();
    EXPECT_EQ(step.Message, ErrorMessage(kNoDayOfMonthText));
    EXPECT_EQ(step.Focus, EditorFocus::DayOfMonth);

    editor.SetDayOfMonthText("5");
    editor.LeaveDayOfMonthField();
    step = editor.Confirm();
    EXPECT_EQ(step.What, Action::AskConfirmation);
    EXPECT_EQ(step.Message,
              Prompt({kConfirmText, "ATENÇÃO", PromptIcon::Question, PromptButtons::YesNo, true}));

    editor.SelectKind(JobKind::Hourly);  // no hour needed
    editor.SetHourText("");
    EXPECT_EQ(editor.Confirm().What, Action::AskConfirmation);
    EXPECT_EQ(editor.Cancel(), Question(kCancelText));
    EXPECT_EQ(JobEditor(f.jobs, -1, f.program.path()).Cancel(), std::nullopt);
}

TEST(JobEditor, CommitEncodesDaysPerKindAndSaves) {
    EditorFixture f;
    const std::string share = f.Share();

    JobEditor daily(f.jobs, -1, f.program.path());
    daily.ChooseFolder(share);
    daily.SelectKind(JobKind::Daily);
    daily.SetHourText("08:30");
    daily.SetDayChecked(6, true);
    daily.SetDayChecked(2, true);
    EXPECT_EQ(daily.Commit(f.jobs), 0U);  // the empty slot is used
    EXPECT_EQ(f.jobs[0].Days.Text(), "2#6");

    JobEditor weekly(f.jobs, -1, f.program.path());
    weekly.ChooseFolder(share);
    weekly.SelectKind(JobKind::Weekly);
    weekly.SetHourText("10:00");
    weekly.SetWeekdayPosition(3);  // "Quarta"
    weekly.SetSubDirs(true);
    EXPECT_EQ(weekly.Commit(f.jobs), 1U);
    EXPECT_EQ(f.jobs[1].Days.Text(), "4");
    EXPECT_EQ(f.jobs[1].SubDirs, 1);

    JobEditor atStart(f.jobs, -1, f.program.path());
    atStart.ChooseFolder(share);
    atStart.SelectKind(JobKind::AtStart);
    EXPECT_EQ(atStart.Commit(f.jobs), 2U);
    EXPECT_EQ(EncodeJobRecord(f.jobs[2]).substr(1031, 15), std::string(15, '\0'));

    EXPECT_EQ(test::ReadFile(JobsFilePath(f.program.path())),
              EncodeJobRecord(f.jobs[0]) + EncodeJobRecord(f.jobs[1]) + EncodeJobRecord(f.jobs[2]));
}

TEST(JobEditor, EditingReloadsTheJobAndClearsItsMark) {
    EditorFixture f;
    f.jobs[0].Path.Assign(f.Share());
    f.jobs[0].Kind = static_cast<std::uint8_t>(JobKind::Weekly);
    f.jobs[0].Hour.Assign("07:15");
    f.jobs[0].Days.Assign("4");
    f.jobs[0].SubDirs = 1;
    f.jobs[0].LastRun = 26100;
    CleaningJob monthly = f.jobs[0];
    monthly.Kind = static_cast<std::uint8_t>(JobKind::Monthly);
    monthly.Days.Assign("05");
    CleaningJob daily = f.jobs[0];
    daily.Kind = static_cast<std::uint8_t>(JobKind::Daily);
    daily.Days.Assign("1#7");
    f.jobs.push_back(monthly);
    f.jobs.push_back(daily);

    JobEditor weekly(f.jobs, 0, f.program.path());
    EXPECT_EQ(weekly.Folder(), f.Share());
    EXPECT_TRUE(weekly.KindsEnabled());
    EXPECT_EQ(weekly.Kind(), JobKind::Weekly);
    EXPECT_EQ(weekly.HourText(), "07:15");
    EXPECT_EQ(weekly.WeekdayPosition(), 3);
    EXPECT_TRUE(weekly.SubDirs());
    EXPECT_EQ(JobEditor(f.jobs, 1, f.program.path()).DayOfMonthText(), "05");
    const JobEditor days(f.jobs, 2, f.program.path());
    EXPECT_TRUE(days.DayChecked(1) && days.DayChecked(7) && !days.DayChecked(4));

    ASSERT_EQ(weekly.Confirm().What, Action::AskConfirmation);
    const CleaningJob before = f.jobs[0];
    EXPECT_EQ(weekly.Commit(f.jobs), 0U);
    EXPECT_EQ(f.jobs.size(), 3U);
    EXPECT_EQ(f.jobs[0].LastRun, 0.0F);
    EXPECT_EQ(f.jobs[0].SubDirs, 1);
    EXPECT_EQ(f.jobs[0].Days.Bytes(), before.Days.Bytes());

    // AtStart -> Hourly keeps the old Days text.
    JobEditor toHourly(f.jobs, 1, f.program.path());
    toHourly.SelectKind(JobKind::Hourly);
    toHourly.Commit(f.jobs);
    EXPECT_EQ(f.jobs[1].Days.Text(), "05");
    EXPECT_EQ(f.jobs[1].Kind, static_cast<std::uint8_t>(JobKind::Hourly));
}

TEST(JobList, EditedLineMovesToTheEnd) {
    JobListLines lines{{"/a", 0}, {"/b", 1}, {"/c", 2}};
    ReplaceLineAfterCommit(lines, 0, {"/a2", 0});
    EXPECT_EQ(lines, (JobListLines{{"/b", 1}, {"/c", 2}, {"/a2", 0}}));
    ReplaceLineAfterCommit(lines, std::nullopt, {"/d", 3});
    EXPECT_EQ(lines.back(), (JobListLine{"/d", 3}));
    EXPECT_EQ(DeleteQuestion(std::nullopt), std::nullopt);
    EXPECT_EQ(DeleteQuestion(1), Question(kDeleteQuestionText));
}

}  // namespace
}  // namespace vgx
