#include "cleaning/job_editor.h"

#include <gtest/gtest.h>

#include <functional>

#include "cleaning/job_list.h"
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
    EXPECT_EQ(FormatHourField("25:00"), "00:00");
    EXPECT_EQ(FormatHourField("12:60"), "00:00");
    EXPECT_EQ(FormatHourField(""), "00:00");
    EXPECT_EQ(FormatDayOfMonthField("45"), "01");
    EXPECT_EQ(FormatDayOfMonthField("7"), "07");
    EXPECT_EQ(FormatDayOfMonthField(""), "");
}

struct EditorFixture {
    test::TempDir program;
    test::TempDir area;
    CleaningJobs jobs = CleaningJobs(1);
    std::string share = (area / "share").string();

    EditorFixture() { std::filesystem::create_directory(share); }
};

TEST(JobEditor, RefusedOrCancelledFolderDisablesTheKinds) {
    EditorFixture f;
    JobEditor editor(f.jobs, -1, f.program.path());
    EXPECT_EQ(editor.ChooseFolder(f.share), std::nullopt);
    editor.SelectKind(JobKind::Weekly);
    EXPECT_TRUE(editor.KindsEnabled() && editor.HourPanelVisible());

    const auto refused = editor.ChooseFolder("/usr/");
    ASSERT_TRUE(refused);
    EXPECT_EQ(*refused, Prompt({kRefusedFolderText, "ATENÇÃO", PromptIcon::Critical,
                                PromptButtons::Ok, false}));
    EXPECT_FALSE(editor.KindsEnabled() || editor.Kind() || editor.HourPanelVisible());
    EXPECT_EQ(editor.Folder(), "");
    EXPECT_TRUE(editor.ChooseFolder(f.program.path().string()));

    EXPECT_EQ(editor.ChooseFolder(f.share), std::nullopt);
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
    step = editor.Confirm();
    EXPECT_EQ(step.What, Action::AskConfirmation);
    EXPECT_EQ(step.Message, Question(kConfirmText));

    editor.SelectKind(JobKind::Hourly);  // no hour needed
    editor.SetHourText("");
    EXPECT_EQ(editor.Confirm().What, Action::AskConfirmation);
    EXPECT_EQ(editor.Cancel(), Question(kCancelText));
    EXPECT_EQ(JobEditor(f.jobs, -1, f.program.path()).Cancel(), std::nullopt);
}

TEST(JobEditor, CommitEncodesDaysPerKindAndSaves) {
    EditorFixture f;
    const auto add = [&](JobKind kind, const std::function<void(JobEditor&)>& fill) {
        JobEditor e(f.jobs, -1, f.program.path());
        e.ChooseFolder(f.share);
        e.SelectKind(kind);
        e.SetHourText("10:00");
        fill(e);
        return e.Commit(f.jobs);
    };
    EXPECT_EQ(add(JobKind::Daily,
                  [](JobEditor& e) {
                      e.SetDayChecked(6, true);
                      e.SetDayChecked(2, true);
                  }),
              0U);  // the empty slot is used
    EXPECT_EQ(f.jobs[0].Days.Text(), "2#6");
    EXPECT_EQ(add(JobKind::Weekly, [](JobEditor& e) { e.SetWeekdayPosition(3); }), 1U);
    EXPECT_EQ(f.jobs[1].Days.Text(), "4");  // "Quarta"
    EXPECT_EQ(add(JobKind::AtStart, [](JobEditor& e) { e.SetSubDirs(true); }), 2U);
    EXPECT_EQ(f.jobs[2].SubDirs, 1);
    EXPECT_EQ(EncodeJobRecord(f.jobs[2]).substr(1031, 15), std::string(15, '\0'));

    EXPECT_EQ(test::ReadFile(JobsFilePath(f.program.path())),
              EncodeJobRecord(f.jobs[0]) + EncodeJobRecord(f.jobs[1]) + EncodeJobRecord(f.jobs[2]));
}

TEST(JobEditor, EditingReloadsTheJobAndClearsItsMark) {
    EditorFixture f;
    f.jobs[0].Path.Assign(f.share);
    f.jobs[0].Kind = static_cast<std::uint8_t>(JobKind::Weekly);
    f.jobs[0].Hour.Assign("07:15");
    f.jobs[0].Days.Assign("4");
    f.jobs[0].SubDirs = 1;
    f.jobs[0].LastRun = 26100;
    f.jobs.push_back(f.jobs[0]);
    f.jobs[1].Kind = static_cast<std::uint8_t>(JobKind::Daily);
    f.jobs[1].Days.Assign("1#7");

    JobEditor weekly(f.jobs, 0, f.program.path());
    EXPECT_EQ(weekly.Folder(), f.share);
    EXPECT_EQ(weekly.HourText(), "07:15");
    EXPECT_EQ(weekly.WeekdayPosition(), 3);
    EXPECT_TRUE(weekly.SubDirs());
    const JobEditor daily(f.jobs, 1, f.program.path());
    EXPECT_TRUE(daily.DayChecked(1) && daily.DayChecked(7) && !daily.DayChecked(4));

    EXPECT_EQ(weekly.Commit(f.jobs), 0U);
    EXPECT_EQ(f.jobs.size(), 2U);
    EXPECT_EQ(f.jobs[0].LastRun, 0.0F);
    EXPECT_EQ(f.jobs[0].SubDirs, 1);

    JobEditor toHourly(f.jobs, 1, f.program.path());  // keeps the old Days text
    toHourly.SelectKind(JobKind::Hourly);
    toHourly.Commit(f.jobs);
    EXPECT_EQ(f.jobs[1].Days.Text(), "1#7");

    JobListLines lines{{"/a", 0}, {"/b", 1}};
    ReplaceLineAfterCommit(lines, 0, {"/a2", 0});  // an edited line moves to the end
    EXPECT_EQ(lines, (JobListLines{{"/b", 1}, {"/a2", 0}}));
    EXPECT_EQ(DeleteQuestion(std::nullopt), std::nullopt);
    EXPECT_EQ(DeleteQuestion(1), Question(kDeleteQuestionText));
}

}  // namespace
}  // namespace vgx
