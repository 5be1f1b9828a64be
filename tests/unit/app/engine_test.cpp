#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <tuple>

#include "app/embedded_resources.h"
#include "app/engine.h"
#include "app/resource_files.h"
#include "fakes.h"
#include "support/todays_log.h"

namespace vgx::test {
namespace {

using ::testing::ElementsAre;

class FakeTimers final : public Timers {
public:
    void SetInterval(EngineTimer timer, int milliseconds) override {
        intervals[timer] = milliseconds;
    }
    std::map<EngineTimer, int> intervals;
};

// The engine put together on a temporary program directory.
struct EngineFixture {
    TempDir dir;
    FakeClock clock;
    FakePump pump{clock};
    FakePower power;
    FakeRunner runner;
    FakeWindows windows;
    FakeTimers timers;
    FakeIcmp icmp{clock};
    FakeResolver resolver;
    FakeHttp http;
    Engine engine{dir.path(),
                  EnginePorts{clock, pump, power, runner, windows, timers, icmp, resolver, http}};

    std::vector<std::string> Logged() const { return LogMessages(TodaysLog(engine.Log(), clock)); }
};

TEST(Engine, LoadWritesTheImagesAndTheSettingsStartsTheTimersAndLogsTheStart) {
    EngineFixture f;
    WriteFile(f.dir / "xp.dat", "damaged");
    f.engine.Form_Load();
    EXPECT_EQ(f.timers.intervals[EngineTimer::Ping], 1000);
    EXPECT_EQ(f.timers.intervals[EngineTimer::Pasta], 23000);
    EXPECT_EQ(TodaysLog(f.engine.Log(), f.clock), "05/12/2026 14:05:09   INICIOU O SISTEMA\r\n");
    EXPECT_FALSE(f.engine.Settings().Working().DataAtual.has_value());
    EXPECT_EQ(f.engine.Images().buttons, f.dir / "xp.dat");
    for (const auto& [image, type, id] :
         {std::tuple("xp.dat", "XP", kResourceXp), std::tuple("xp2.dat", "XP2", kResourceXp2),
          std::tuple("menu.dat", "MENU", kResourceMenu),
          std::tuple("menu2.dat", "MENU2", kResourceMenu2)})
        EXPECT_EQ(ReadFile(f.dir / image).size(), FindResource(type, id)->size()) << image;

    // A settings file of its own is read and kept as written.
    std::string cfg = ReadFile(f.dir / "vgx.cfg");
    cfg.replace(cfg.find("\"3\""), 3, "\"5\"");
    EngineFixture second;
    WriteFile(second.dir / "vgx.cfg", cfg);
    second.engine.Form_Load(16);
    EXPECT_EQ(second.engine.Images().menu, second.dir / "menu2.dat");
    EXPECT_EQ(second.engine.Settings().Working().PoolingMinutes, "5");
    EXPECT_EQ(ReadFile(second.dir / "vgx.cfg"), cfg);
}

TEST(Engine, ADamagedSettingsFileIsReportedAndTheProgramStillStarts) {
    EngineFixture f;
    std::string cfg =
        "\"\"\r\n\"5\"\r\n\"4\"\r\n0\r\n0\r\n\"a\"\r\n\"b\"\r\n0\r\n0\r\n\"31/02/2026\"\r\n"
        "\"http://x/\"\r\n1\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n180\r\n0\r\n";
    WriteFile(f.dir / "vgx.cfg", cfg);

    f.engine.Form_Load();
    EXPECT_THAT(f.Logged(), ElementsAre("FALHA AO LER VGX.CFG! LINHA 10 ", "INICIOU O SISTEMA"));
    EXPECT_EQ(f.engine.Settings().Working().PoolingMinutes, "5");
    EXPECT_EQ(f.engine.Settings().Working().IISUrl, "");  // after the bad line: untouched
    EXPECT_EQ(ReadFile(f.dir / "vgx.cfg"), cfg);
}

// Settings on a volume not mounted yet, a folder, a FIFO: nothing is written over them, the
// program says so and runs on the defaults; the same for the jobs file.
TEST(Engine, ANameThatIsNoReadableFileIsLeftAsItWas) {
    using Make = std::function<void(const std::filesystem::path&)>;
    const std::vector<Make> kinds = {
        [](const auto& p) { std::filesystem::create_symlink("/nonexistent/volume/x", p); },
        [](const auto& p) { std::filesystem::create_directory(p); },
        [](const auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }};
    for (const Make& make : kinds) {
        EngineFixture f;
        make(f.dir / "vgx.cfg");
        make(f.dir / "folder.dat");
        const auto type = std::filesystem::symlink_status(f.dir / "vgx.cfg").type();
        f.engine.Form_Load();
        EXPECT_THAT(f.Logged(), ElementsAre("FALHA AO LER FOLDER.DAT! ", "FALHA AO LER VGX.CFG! ",
                                            "INICIOU O SISTEMA"));
        EXPECT_EQ(std::filesystem::symlink_status(f.dir / "vgx.cfg").type(), type);
        EXPECT_EQ(std::filesystem::symlink_status(f.dir / "folder.dat").type(), type);
        EXPECT_EQ(f.engine.Settings().Working(), Settings{});
        EXPECT_EQ(JobCount(f.engine.Jobs()), 0u);
    }
}

TEST(Engine, UnloadUndoesUnconfirmedEditsAndSavesNothing) {
    EngineFixture f;
    f.engine.Form_Load();
    const std::string saved = ReadFile(f.dir / "vgx.cfg");
    ASSERT_TRUE(f.engine.Settings().StepSpinner(Control::VScroll1, true));
    EXPECT_EQ(f.engine.Settings().Working().PoolingMinutes, "4");
    f.engine.Form_Unload();
    EXPECT_EQ(f.engine.Settings().Working().PoolingMinutes, "3");
    EXPECT_EQ(ReadFile(f.dir / "vgx.cfg"), saved);
}

TEST(ResourceFiles, ExtractReplacesLinksInsteadOfWritingThroughThem) {
    TempDir dir;
    TempDir outside;
    WriteFile(outside / "victim", "keep");
    std::filesystem::create_symlink(outside / "victim", dir / "jet.exe");

    ASSERT_TRUE(ExtractResource(kResourceIis, "IIS", dir / "jet.exe", 0700));
    EXPECT_EQ(ReadFile(outside / "victim"), "keep");
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "jet.exe"));
    struct stat st {};
    ASSERT_EQ(::stat((dir / "jet.exe").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    const auto bytes = FindResource("IIS", kResourceIis);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(ReadFile(dir / "jet.exe").size(), bytes->size());

    EXPECT_FALSE(ExtractResource(99, "NONE", dir / "x"));
    EXPECT_FALSE(std::filesystem::exists(dir / "x"));
}

}  // namespace
}  // namespace vgx::test
