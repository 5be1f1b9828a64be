#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "records/settings_model.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace vgx {
namespace {

class SettingsRulesTest : public ::testing::Test {
protected:
    SettingsRulesTest() {
        model.hooks.serviceStep = [this](bool install) { serviceSteps.push_back(install); };
        model.hooks.reapplyAlwaysOnTop = [this] { ++reapplied; };
        model.CommitLoaded();
    }
    std::string File() const { return test::ReadFile(dir / "vgx.cfg"); }

    test::TempDir dir;
    test::FakeClock clock;
    SettingsModel model{dir.path(), clock};
    std::vector<bool> serviceSteps;
    int reapplied = 0;
};

TEST_F(SettingsRulesTest, SpinnersAndArrowKeysStayWithinBounds) {
    EXPECT_FALSE(model.SetValue(Control::VScroll1, 31));
    EXPECT_FALSE(model.SetValue(Control::VScroll3, 79));
    EXPECT_FALSE(model.SetValue(Control::chkPanel, 3));
    EXPECT_FALSE(model.SetValue(Control::cmbAcaoNet, 2));

    ASSERT_TRUE(model.SetValue(Control::VScroll1, 30));
    EXPECT_TRUE(model.KeyDown(Control::txtPoling, kKeyUp));
    EXPECT_EQ(model.Value(Control::VScroll1), 30);
    EXPECT_TRUE(model.KeyDown(Control::txtPoling, kKeyDown));
    EXPECT_EQ(model.Text(Control::txtPoling), "29");

    EXPECT_TRUE(model.KeyDown(Control::txtAtra, kKeyDown));
    EXPECT_EQ(model.Text(Control::txtAtra), "0");
    EXPECT_TRUE(model.KeyDown(Control::txtFalha, kKeyUp));
    EXPECT_EQ(model.Text(Control::txtFalha), "8");
    EXPECT_FALSE(model.KeyDown(Control::txtURL1, kKeyUp));

    // The opacity arrows step by 5, its arrow keys by 1.
    ASSERT_TRUE(model.StepSpinner(Control::VScroll3, true));
    EXPECT_EQ(model.Value(Control::VScroll3), 185);
    model.KeyDown(Control::txtOpa, kKeyUp);
    EXPECT_EQ(model.Working().PanelOpacity, 186);
    ASSERT_TRUE(model.SetValue(Control::VScroll3, 252));
    model.StepSpinner(Control::VScroll3, true);
    EXPECT_EQ(model.Value(Control::VScroll3), 255);
}

TEST_F(SettingsRulesTest, OpacityPercentage) {
    for (const auto& [alpha, shown] :
         std::vector<std::pair<int, const char*>>{{80, "30%"}, {200, "80%"}, {255, "100%"}}) {
        ASSERT_TRUE(model.SetValue(Control::VScroll3, alpha));
        EXPECT_EQ(model.Text(Control::txtOpa), shown);
    }
    EXPECT_EQ(OpacityPercent(81), 32);
    EXPECT_EQ(OpacityPercent(252), 100);
}

TEST_F(SettingsRulesTest, ActionListsClearTheirBoxes) {
    ASSERT_TRUE(model.SetValue(Control::cmbIIS, 1));
    EXPECT_TRUE(model.BootResetShown());
    ASSERT_TRUE(model.SetValue(Control::chkBootReset, 1));
    ASSERT_TRUE(model.SetValue(Control::cmbIIS, 2));
    EXPECT_FALSE(model.BootResetShown());
    EXPECT_EQ(model.Working().BootReset, 0);

    ASSERT_TRUE(model.SetValue(Control::chkAtiNet, 1));
    ASSERT_TRUE(model.SetValue(Control::VScroll1, 12));  // not confirmed
    std::filesystem::remove(dir / "vgx.cfg");
    ASSERT_TRUE(model.SetValue(Control::cmbAcaoNet, 1));
    EXPECT_EQ(model.Working().NetCheckEnabled, 0);
    EXPECT_EQ(model.Committed().NetCheckEnabled, 0);
    const std::string file = File();
    EXPECT_NE(file.find("\"12\"\r\n\"7\"\r\n0\r\n"), std::string::npos) << file;
}

TEST_F(SettingsRulesTest, ProbeSwitchSavesUnconfirmedValuesThatCancelThenDrops) {
    ASSERT_TRUE(model.SetValue(Control::VScroll1, 20));
    ASSERT_TRUE(model.SetValue(Control::chkAtiIIS, 1));
    EXPECT_EQ(model.Committed().IISCheckEnabled, 1);
    const std::string saved = File();
    EXPECT_EQ(saved.rfind("\"\"\r\n\"20\"\r\n", 0), 0u) << saved;

    model.Cancelar(true);
    EXPECT_EQ(model.Text(Control::txtPoling), "3");
    EXPECT_EQ(model.Value(Control::VScroll1), 3);
    EXPECT_EQ(model.Working().IISCheckEnabled, 1);
    EXPECT_EQ(File(), saved);
}

TEST_F(SettingsRulesTest, CancelPutsTheNineCommittedValuesBack) {
    ASSERT_TRUE(model.SetValue(Control::VScroll1, 9));
    ASSERT_TRUE(model.SetValue(Control::VScroll2, 2));
    ASSERT_TRUE(model.SetValue(Control::VScroll3, 90));
    ASSERT_TRUE(model.SetValue(Control::VScroll4, 5));
    ASSERT_TRUE(model.SetValue(Control::chkPanel, 1));
    ASSERT_TRUE(model.SetValue(Control::chkSVisi, 1));
    ASSERT_TRUE(model.SetValue(Control::chkServicoNT, 1));
    ASSERT_TRUE(model.SetValue(Control::cmbIIS, 1));
    ASSERT_TRUE(model.SetValue(Control::chkBootReset, 1));
    ASSERT_TRUE(model.SetText(Control::txtURL1, "kept.example"));
    const Settings edited = model.Working();

    model.Cancelar(false);
    Settings expected = edited;
    const Settings initial;
    for (auto field : {&Settings::PoolingMinutes, &Settings::FailureLimit}) {
        expected.*field = initial.*field;
    }
    for (auto field : {&Settings::PanelOpacity, &Settings::DelayMinutes, &Settings::ShowPanel,
                       &Settings::PanelAlwaysOnTop, &Settings::RunAsService}) {
        expected.*field = initial.*field;
    }
    EXPECT_EQ(model.Working(), expected);
    EXPECT_EQ(model.Value(Control::VScroll2), 7);
    EXPECT_EQ(model.Text(Control::txtOpa), "72%");
    EXPECT_EQ(model.Text(Control::txtAtra), "0");
    EXPECT_EQ(serviceSteps, std::vector<bool>{false}) << "checked now: remove the service";
    EXPECT_EQ(reapplied, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "vgx.cfg"));

    model.Cancelar(true);
    EXPECT_EQ(serviceSteps.size(), 1u);
    EXPECT_EQ(reapplied, 1);
}

TEST_F(SettingsRulesTest, ConfirmCommitsSavesAndRegistersTheService) {
    ASSERT_TRUE(model.SetValue(Control::VScroll1, 9));
    ASSERT_TRUE(model.SetValue(Control::VScroll4, 15));
    ASSERT_TRUE(model.SetValue(Control::VScroll3, 255));
    ASSERT_TRUE(model.SetValue(Control::chkServicoNT, 1));
    ASSERT_TRUE(model.Confirm());
    CommittedCopy expected;
    expected.PoolingMinutes = 9;
    expected.DelayMinutes = 15;
    expected.PanelOpacity = 255;
    expected.RunAsService = 1;
    EXPECT_EQ(model.Committed(), expected);
    EXPECT_EQ(serviceSteps, std::vector<bool>{true});
    EXPECT_EQ(File().rfind("\"\"\r\n\"9\"\r\n\"7\"\r\n0\r\n1\r\n", 0), 0u);

    model.Cancelar(false);
    EXPECT_EQ(model.Value(Control::VScroll1), 9) << "nothing left to undo";
    EXPECT_EQ(serviceSteps.size(), 1u);
}

TEST_F(SettingsRulesTest, NumbersThatAreNotWholeStopConfirmAndAreMendedAtCommit) {
    test::WriteFile(dir / "vgx.cfg",
                    "\"\"\r\n\"abc\"\r\n\"04\"\r\n0\r\n0\r\n\"a\"\r\n\"b\"\r\n0\r\n0\r\n"
                    "\"1/1/2026\"\r\n\"\"\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
                    "180\r\n3\r\n");
    ASSERT_TRUE(model.LoadSettings().Complete());
    const CommittedCopy before = model.Committed();
    EXPECT_FALSE(model.Confirm());
    EXPECT_EQ(model.Committed(), before);

    EXPECT_FALSE(model.CommitLoaded());
    EXPECT_EQ(model.Text(Control::txtPoling), "3");
    EXPECT_EQ(model.Text(Control::txtFalha), "4");
    EXPECT_EQ(model.Value(Control::VScroll2), 4);
    EXPECT_EQ(model.Committed().FailureLimit, 4);
    EXPECT_EQ(model.Committed().DelayMinutes, 3);
}

}  // namespace
}  // namespace vgx
