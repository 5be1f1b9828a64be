#include "records/settings_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <sstream>

#include "records/settings_file.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace vgx {
namespace {

using test::ReadFile;
using test::WriteFile;
using ::testing::StartsWith;
using C = Setting;
using P = std::pair<Setting, int>;

// vgx.cfg as the program writes it on 01/01/2026 from the initial values, fields split by '|'.
constexpr std::string_view kInitial =
    R"(""|"3"|"7"|0|0|"www.google.com"|"www.microsoft.com"|0|0|"01/01/2026"|""|0|0|0|0|0|0|0|180|0)";

// The file holding `fields`, with field `line` (1 to 20) replaced by `text` when given.
std::string Cfg(std::string_view fields, int line = 0, const char* text = "") {
    std::istringstream in{std::string(fields)};
    std::string out;
    int n = 0;
    for (std::string field; std::getline(in, field, '|');)
        out += (++n == line ? text : field) + "\r\n";
    return out;
}

class SettingsModelTest : public ::testing::Test {
protected:
    SettingsModelTest() {
        model.hooks.serviceStep = [this](bool install) { serviceSteps.push_back(install); };
        model.hooks.reapplyAlwaysOnTop = [this] { ++reapplied; };
        model.CommitLoaded();
    }
    std::string File() const { return ReadFile(dir / "vgx.cfg"); }
    void Set(std::initializer_list<P> values) {
        for (const auto& [control, value] : values)
            ASSERT_TRUE(model.SetValue(control, value)) << static_cast<int>(control);
    }

    test::TempDir dir;
    test::FakeClock clock{MakeLocalTime(2026, 12, 5, 14, 5, 9)};
    SettingsModel model{dir.path(), clock};
    std::vector<bool> serviceSteps;
    int reapplied = 0;
};

TEST_F(SettingsModelTest, NewFileHasTheExactBytesAndACountOfAnEarlierDayIsSavedAsZero) {
    model.Working().ThresholdEvents = 11;
    model.Working().ThresholdDay = DayOf(clock.Now()) - std::chrono::days(1);
    ASSERT_TRUE(model.SaveSettings());
    EXPECT_EQ(File(), Cfg(kInitial, 10, "\"05/12/2026\""));
}

TEST_F(SettingsModelTest, EveryFieldSurvivesASaveAndALoad) {
    Settings& s = model.Working();
    s.KeptText = "  guardado, com vírgula";
    s.ThresholdEvents = 9;
    s.ThresholdDay = DayOf(clock.Now());
    s.PanelLeft = 1.0f / 3.0f;  // floats are written so that they read back exactly
    s.PanelTop = -1.17549435e-38f;
    ASSERT_TRUE(model.SetText(C::NetAddress1, " servidor.com.br,\"x\""));
    ASSERT_TRUE(model.SetText(C::NetAddress2, "ação.example"));
    ASSERT_TRUE(model.SetText(C::WebPage, "http://localhost/a,b?c=1"));
    Set({P(C::PoolingMinutes, 25), P(C::FailureLimit, 4), P(C::PanelOpacity, 200),
         P(C::DelayMinutes, 12), P(C::NetAction, 1), P(C::WebAction, 1),
         P(C::RestartAfterWebRestarts, 1), P(C::NetCheck, 1), P(C::WebCheck, 2),
         P(C::RunAsService, 1), P(C::ShowPanel, 1), P(C::PanelOnTop, 1)});
    ASSERT_TRUE(model.SaveSettings());

    for (const bool lfOnly : {false, true}) {
        std::string text = File();
        if (lfOnly)
            std::erase(text, '\r');
        WriteFile(dir / "vgx.cfg", text);
        SettingsModel loaded(dir.path(), clock);
        ASSERT_TRUE(loaded.LoadSettings().Complete()) << lfOnly;
        EXPECT_EQ(loaded.Working(), s);
    }
}

TEST_F(SettingsModelTest, TheInternetCheckIsAppliedLastAndTheLoadNeverSaves) {
    const std::string file =
        Cfg(R"(""|"3"|"7"|1|0|"a"|"b"|0|1|"01/01/2026"|""|0|1|0|0|0|0|0|180|0)");
    WriteFile(dir / "vgx.cfg", file);
    ASSERT_TRUE(model.LoadSettings().Complete());
    EXPECT_EQ(model.Working().NetAction, 1);
    EXPECT_EQ(model.Working().NetCheckEnabled, 1) << "the action list cleared it after all";
    EXPECT_EQ(model.Committed().NetCheckEnabled, 1);
    EXPECT_EQ(model.Committed().WebCheckEnabled, 1);
    EXPECT_EQ(File(), file);
}

TEST_F(SettingsModelTest, ValuesTheControlsRefuseStopTheLoad) {
    using L = std::pair<int, const char*>;
    for (const auto& [line, text] :
         {L(8, "256"),         L(8, "-1"),         L(9, "2"),          L(9, "-1"),
          L(9, "1.0"),         L(9, "+1"),         L(9, "0x1"),        L(10, "29/02/2026"),
          L(10, "31/04/2026"), L(10, "0/12/2026"), L(10, "5/13/2026"), L(10, "05/12/26"),
          L(10, "05-12-2026"), L(12, "3"),         L(13, "3"),         L(15, "abc"),
          L(15, "nan"),        L(16, "1e39"),      L(16, "4530.5x"),   L(19, "79"),
          L(20, "16"),         L(4, "99999")}) {
        const LoadResult r =
            SettingsModel(dir.path(), clock).LoadFromText(Cfg(kInitial, line, text));
        EXPECT_EQ(r.status, LoadStatus::kBadValue) << line << ": " << text;
        EXPECT_EQ(r.line, line) << text;
    }
    // Check boxes take a leading number; no number counts as 0.
    const auto lenient =
        Cfg(R"(""|"3"|"7"|0|0|"a"|"b"|0|0|"01/01/2026"|""|0|0|2|0|0|1abc|xyz|180|0)");
    ASSERT_TRUE(model.LoadFromText(lenient).Complete());
    EXPECT_EQ(model.Working().ShowPanel, 1);
    EXPECT_EQ(model.Working().PanelAlwaysOnTop, 0);

    EXPECT_EQ(model.LoadFromText(Cfg(kInitial.substr(0, kInitial.find(R"(|""|)")))).status,
              LoadStatus::kShortFile);
    EXPECT_EQ(model.LoadSettings().status, LoadStatus::kNoFile);
}

TEST_F(SettingsModelTest, NumbersThatAreNotWholeStopConfirmAndAreMendedAtCommit) {
    const auto text = Cfg(R"(""|"abc"|"04"|0|0|"a"|"b"|0|0|"29/2/2024"|""|0|0|0|0|0|0|0|180|3)");
    ASSERT_TRUE(model.LoadFromText(text).Complete());
    const CommittedCopy before = model.Committed();
    EXPECT_FALSE(model.Confirm());
    EXPECT_EQ(model.Committed(), before);
    EXPECT_FALSE(std::filesystem::exists(dir / "vgx.cfg"));

    EXPECT_FALSE(model.CommitLoaded());
    EXPECT_EQ(model.Text(C::PoolingText), "3");
    EXPECT_EQ(model.Text(C::FailureLimitText), "4");
    EXPECT_EQ(model.Committed().FailureLimit, 4);
    EXPECT_EQ(model.Committed().DelayMinutes, 3);
}

TEST_F(SettingsModelTest, SaveFailuresAreReportedNotThrown) {
    WriteFile(dir / "f", "x");  // a "program folder" that is really a file
    SettingsModel m(dir / "f", clock);
    int failures = 0;
    m.hooks.saveFailed = [&] { ++failures; };
    EXPECT_FALSE(m.SaveSettings());
    ASSERT_TRUE(m.SetValue(C::WebCheck, 1));
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(ReadFile(dir / "f"), "x");
}

// Both rules save the working values, unconfirmed ones included; a cancel does not undo that.
TEST_F(SettingsModelTest, ProbeSwitchesAndActionListsSaveUnconfirmedValuesThatCancelThenDrops) {
    Set({P(C::PoolingMinutes, 20), P(C::WebCheck, 1)});
    EXPECT_EQ(model.Committed().WebCheckEnabled, 1);
    EXPECT_THAT(File(), StartsWith("\"\"\r\n\"20\"\r\n"));
    Set({P(C::NetCheck, 1), P(C::FailureLimit, 9), P(C::NetAction, 1)});
    EXPECT_EQ(model.Committed().NetCheckEnabled, 0);
    const std::string saved = File();
    EXPECT_THAT(saved, StartsWith("\"\"\r\n\"20\"\r\n\"9\"\r\n0\r\n"));

    model.Cancelar(true);
    EXPECT_EQ(model.Text(C::PoolingText), "3");
    EXPECT_EQ(model.Working().WebCheckEnabled, 1);
    EXPECT_EQ(File(), saved);
}

TEST_F(SettingsModelTest, ConfirmCommitsAndSavesAndCancelPutsTheNineCommittedValuesBackUnsaved) {
    Set({P(C::PoolingMinutes, 9), P(C::DelayMinutes, 15), P(C::RunAsService, 1)});
    ASSERT_TRUE(model.Confirm());
    EXPECT_EQ(serviceSteps, std::vector<bool>{true});
    const std::string confirmed = File();
    EXPECT_THAT(confirmed, StartsWith("\"\"\r\n\"9\"\r\n\"7\"\r\n0\r\n1\r\n"));

    Set({P(C::PoolingMinutes, 20), P(C::FailureLimit, 2), P(C::PanelOpacity, 90),
         P(C::DelayMinutes, 5), P(C::ShowPanel, 1), P(C::PanelOnTop, 1), P(C::RunAsService, 0),
         P(C::WebAction, 1), P(C::RestartAfterWebRestarts, 1)});
    ASSERT_TRUE(model.SetText(C::NetAddress1, "kept.example"));
    model.Cancelar(false);
    Settings expected;  // the values a cancel does not restore keep their edits
    expected.PoolingMinutes = "9";
    expected.RunAsService = 1;
    expected.DelayMinutes = 15;
    expected.WebAction = 1;
    expected.RestartAfterWebRestarts = 1;
    expected.NetAddress1 = "kept.example";
    EXPECT_EQ(model.Working(), expected);
    EXPECT_EQ(model.Value(C::FailureLimit), 7);
    EXPECT_EQ(serviceSteps, (std::vector<bool>{true, true})) << "unchecked now: install again";
    EXPECT_EQ(reapplied, 0);
    EXPECT_EQ(File(), confirmed);

    model.Cancelar(true);
    EXPECT_EQ(serviceSteps.size(), 2u) << "nothing left to undo";
    EXPECT_EQ(reapplied, 1);
}

TEST(ReplaceFileContents, ReplacesWholeOrLeavesTheOldFile) {
    test::TempDir dir;
    const auto file = dir / "vgx.cfg";
    ASSERT_TRUE(ReplaceFileContents(file, "old contents\r\n"));
    ASSERT_TRUE(ReplaceFileContents(file, "new\r\n"));
    EXPECT_EQ(test::ReadFile(file), "new\r\n");

    {  // A disk that fills up during the write.
        rlimit old{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 3;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool ok = ReplaceFileContents(file, "longer than the limit");
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(ok);
    }
    EXPECT_EQ(test::ReadFile(file), "new\r\n");
    EXPECT_EQ(test::Names(dir.path()), std::set<std::string>{"vgx.cfg"}) << "no temporary file";
    EXPECT_FALSE(ReplaceFileContents(file / "child", "x"));  // the folder is a file

    // A link is saved through to its file and stays a link; a dangling one is kept as it is.
    const auto link = dir / "link.cfg";
    std::filesystem::create_symlink(file, link);
    ASSERT_TRUE(ReplaceFileContents(link, "through\r\n"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(test::ReadFile(file), "through\r\n");
    std::filesystem::remove(file);
    EXPECT_FALSE(ReplaceFileContents(link, "x"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
}

}  // namespace
}  // namespace vgx
