#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "app/engine.h"
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

TEST(Engine, LoadStartsBothTimersAndLogsTheStart) {
    EngineFixture f;
    f.engine.Form_Load();
    EXPECT_EQ(f.timers.intervals[EngineTimer::Ping], 1000);
    EXPECT_EQ(f.timers.intervals[EngineTimer::Pasta], 23000);
    EXPECT_EQ(TodaysLog(f.engine.Log(), f.clock), "05/12/2026 14:05:09   INICIOU O SISTEMA\r\n");
    EXPECT_TRUE(std::filesystem::exists(f.dir / "vgx.cfg"));
    EXPECT_FALSE(f.engine.Settings().Working().DataAtual.has_value());
    EXPECT_EQ(f.engine.Images().buttons, f.dir / "xp.dat");
    for (const char* image : {"xp.dat", "xp2.dat", "menu.dat", "menu2.dat"}) {
        EXPECT_GT(std::filesystem::file_size(f.dir / image), 0u) << image;
    }

    EngineFixture sixteenBits;
    sixteenBits.engine.Form_Load(16);
    EXPECT_EQ(sixteenBits.engine.Images().menu, sixteenBits.dir / "menu2.dat");
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

}  // namespace
}  // namespace vgx::test
