#include "records/settings_model.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace vgx {
namespace {

using test::ReadFile;
using test::WriteFile;

// A file as the program writes it on 01/01/2026 from the initial values, with some lines changed.
std::string FileWith(const std::map<int, std::string>& changes, const char* eol = "\r\n") {
    std::vector<std::string> lines = {"\"\"",
                                      "\"3\"",
                                      "\"7\"",
                                      "0",
                                      "0",
                                      "\"www.google.com\"",
                                      "\"www.microsoft.com\"",
                                      "0",
                                      "0",
                                      "\"01/01/2026\"",
                                      "\"\"",
                                      "0",
                                      "0",
                                      "0",
                                      "0",
                                      "0",
                                      "0",
                                      "0",
                                      "180",
                                      "0"};
    for (const auto& [line, text] : changes)
        lines[static_cast<std::size_t>(line - 1)] = text;
    std::string out;
    for (const auto& l : lines)
        out += l + eol;
    return out;
}

class SettingsFileTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::FakeClock clock{MakeLocalTime(2026, 12, 5, 14, 5, 9)};
    SettingsModel model{dir.path(), clock};
};

TEST_F(SettingsFileTest, NewFileHasTheExactBytes) {
    ASSERT_TRUE(model.SaveSettings());
    EXPECT_EQ(ReadFile(dir / "vgx.cfg"), FileWith({{10, "\"05/12/2026\""}}));
}

TEST_F(SettingsFileTest, EveryFieldSurvivesASaveAndALoad) {
    Settings& s = model.Working();
    s.KeptText = "  guardado, com vírgula";
    s.Boota = 9;
    s.PanelLeft = 4530.5f;
    s.PanelTop = -12.25f;
    ASSERT_TRUE(model.SetText(Control::txtURL1, " servidor.com.br,\"x\""));
    ASSERT_TRUE(model.SetText(Control::txtURL2, "ação.example"));
    ASSERT_TRUE(model.SetText(Control::txtURLIIS, "http://localhost/a,b?c=1"));
    for (const auto& [control, value] :
         std::vector<std::pair<Control, int>>{{Control::VScroll1, 25},
                                              {Control::VScroll2, 4},
                                              {Control::VScroll3, 200},
                                              {Control::VScroll4, 12},
                                              {Control::cmbAcaoNet, 1},
                                              {Control::cmbIIS, 1},
                                              {Control::chkBootReset, 1},
                                              {Control::chkAtiNet, 1},
                                              {Control::chkAtiIIS, 2},
                                              {Control::chkServicoNT, 1},
                                              {Control::chkPanel, 1},
                                              {Control::chkSVisi, 1}}) {
        ASSERT_TRUE(model.SetValue(control, value)) << static_cast<int>(control);
    }
    EXPECT_EQ(s.NetAddress1, " servidor.com.br,x") << "quotes are dropped on input";
    ASSERT_TRUE(model.SaveSettings());

    for (const char* eol : {"\r\n", "\n"}) {
        std::string text = ReadFile(dir / "vgx.cfg");
        if (std::string_view(eol) == "\n")
            std::erase(text, '\r');
        test::TempDir other;
        WriteFile(other / "vgx.cfg", text);
        SettingsModel loaded(other.path(), clock);
        ASSERT_TRUE(loaded.LoadSettings().Complete()) << eol;

        Settings expected = s;
        expected.DataAtual = LocalDays(DayOf(clock.Now()));
        EXPECT_EQ(loaded.Working(), expected);
        EXPECT_EQ(loaded.Text(Control::txtOpa), "80%");
        EXPECT_EQ(loaded.Text(Control::txtAtra), "12");
        EXPECT_TRUE(loaded.BootResetShown());
    }
}

TEST_F(SettingsFileTest, ABadDateStopsTheLoadAtLineTen) {
    ASSERT_TRUE(model.SetValue(Control::chkAtiNet, 1));
    ASSERT_TRUE(model.SetValue(Control::cmbIIS, 2));
    ASSERT_TRUE(model.SetValue(Control::VScroll3, 100));
    ASSERT_TRUE(model.SetText(Control::txtURLIIS, "antes"));
    model.Working().PanelLeft = 7;
    const Settings before = model.Working();

    WriteFile(dir / "vgx.cfg", FileWith({{1, "\"k\""},
                                         {2, "\"9\""},
                                         {3, "\"2\""},
                                         {5, "1"},
                                         {6, "\"a\""},
                                         {7, "\"b\""},
                                         {8, "4"},
                                         {10, "\"31/02/2026\""},
                                         {11, "\"depois\""},
                                         {12, "1"},
                                         {15, "99"},
                                         {19, "255"}}));
    const LoadResult r = model.LoadSettings();
    EXPECT_EQ(r.status, LoadStatus::kBadValue);
    EXPECT_EQ(r.line, 10);

    Settings expected = before;  // lines 1 to 9 applied, line 4 held back and never reached
    expected.KeptText = "k";
    expected.PoolingMinutes = "9";
    expected.FailureLimit = "2";
    expected.RunAsService = 1;
    expected.NetAddress1 = "a";
    expected.NetAddress2 = "b";
    expected.Boota = 4;
    EXPECT_EQ(model.Working(), expected);
    EXPECT_EQ(model.Text(Control::txtOpa), "40%");
}

TEST_F(SettingsFileTest, TheInternetCheckIsAppliedLastAndTheLoadNeverSaves) {
    const std::string file = FileWith({{4, "1"}, {9, "1"}, {13, "1"}});
    WriteFile(dir / "vgx.cfg", file);
    std::vector<Control> order;
    model.hooks.changed = [&](Control c) { order.push_back(c); };

    ASSERT_TRUE(model.LoadSettings().Complete());
    EXPECT_EQ(model.Working().NetAction, 1);
    EXPECT_EQ(model.Working().NetCheckEnabled, 1) << "the action list cleared it after all";
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.back(), Control::chkAtiNet);
    EXPECT_EQ(model.Committed().NetCheckEnabled, 1);
    EXPECT_EQ(model.Committed().IISCheckEnabled, 1);
    EXPECT_EQ(ReadFile(dir / "vgx.cfg"), file);
}

TEST_F(SettingsFileTest, ValuesTheControlsRefuseStopTheLoad) {
    const std::vector<std::pair<std::map<int, std::string>, LoadResult>> cases = {
        {{{8, "256"}}, {LoadStatus::kBadValue, 8}},
        {{{9, "2"}}, {LoadStatus::kBadValue, 9}},
        {{{9, "-1"}}, {LoadStatus::kBadValue, 9}},
        {{{9, "1.0"}}, {LoadStatus::kBadValue, 9}},
        {{{12, "3"}}, {LoadStatus::kBadValue, 12}},
        {{{13, "3"}}, {LoadStatus::kBadValue, 13}},
        {{{15, "abc"}}, {LoadStatus::kBadValue, 15}},
        {{{19, "79"}}, {LoadStatus::kBadValue, 19}},
        {{{20, "16"}}, {LoadStatus::kBadValue, 20}},
        {{{4, "99999"}}, {LoadStatus::kBadValue, 4}},
        {{{17, "1abc"}, {18, "xyz"}, {14, "2"}}, {LoadStatus::kLoaded, 0}},
    };
    for (const auto& [changes, want] : cases) {
        SettingsModel m(dir.path(), clock);
        WriteFile(dir / "vgx.cfg", FileWith(changes));
        const LoadResult r = m.LoadSettings();
        EXPECT_EQ(r.status, want.status) << "line " << want.line;
        EXPECT_EQ(r.line, want.line);
    }
    SettingsModel m(dir.path(), clock);
    WriteFile(dir / "vgx.cfg", FileWith({{17, "1abc"}, {18, "xyz"}}));
    ASSERT_TRUE(m.LoadSettings().Complete());
    EXPECT_EQ(m.Working().ShowPanel, 1);
    EXPECT_EQ(m.Working().PanelAlwaysOnTop, 0);

    const std::string full = FileWith({});
    WriteFile(dir / "vgx.cfg", full.substr(0, full.find("\"\"\r\n0\r\n0\r\n0")));
    EXPECT_EQ(m.LoadSettings().status, LoadStatus::kShortFile);
    std::filesystem::remove(dir / "vgx.cfg");
    EXPECT_EQ(m.LoadSettings().status, LoadStatus::kNoFile);
}

TEST_F(SettingsFileTest, SaveFailuresAreReportedNotThrown) {
    const test::TempDir file;  // a "program folder" that is really a file
    const auto notADir = file / "f";
    WriteFile(notADir, "x");
    SettingsModel m(notADir, clock);
    int failures = 0;
    m.hooks.saveFailed = [&] { ++failures; };
    EXPECT_FALSE(m.SaveSettings());
    ASSERT_TRUE(m.SetValue(Control::chkAtiIIS, 1));
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(ReadFile(notADir), "x");
}

}  // namespace
}  // namespace vgx
