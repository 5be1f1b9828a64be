#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/embedded_resources.h"
#include "fakes.h"
#include "support/todays_log.h"

namespace vgx::test {
namespace {

using ::testing::ElementsAre;

// The engine put together on a temporary program directory.
struct EngineFixture : FakePorts {
    Engine engine{dir.path(), EnginePorts{clock, loop, power, runner, windows, icmpSender, resolver,
                                          httpClient}};

    std::vector<std::string> Logged() const { return LogMessages(TodaysLog(engine.Log(), clock)); }
};

// The desktop test checks the first start's files and log line; here, a damaged image and a
// damaged settings file: the image is written again, the settings file is reported and kept.
TEST(Engine, ADamagedSettingsFileIsReportedAndKeptAndTheProgramStillStarts) {
    EngineFixture f;
    WriteFile(f.dir / "xp.dat", "damaged");
    const std::string cfg =
        "\"\"\r\n\"5\"\r\n\"4\"\r\n1\r\n0\r\n\"a\"\r\n\"b\"\r\n0\r\n0\r\n\"31/02/2026\"\r\n"
        "\"http://x/\"\r\n1\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n180\r\n0\r\n";
    WriteFile(f.dir / "vgx.cfg", cfg);

    f.engine.Load(16);
    EXPECT_EQ(ReadFile(f.dir / "xp.dat").size(), FindResource("XP", kResourceXp)->size());
    EXPECT_EQ(f.engine.Images().menu, f.dir / "menu2.dat");
    EXPECT_THAT(f.Logged(), ElementsAre("FALHA AO LER VGX.CFG! LINHA 10 ", "INICIOU O SISTEMA"));
    // Lines 1 to 9 applied but line 4, which goes last; the rest untouched.
    const Settings& s = f.engine.Settings().Working();
    EXPECT_EQ(s.PoolingMinutes + s.NetAddress1 + s.WebPage, "5a");
    EXPECT_EQ(s.NetCheckEnabled, 0);
    EXPECT_EQ(ReadFile(f.dir / "vgx.cfg"), cfg);
}

// Settings on a volume not mounted yet, a folder, a FIFO: nothing is written over them, the
// program says so and runs on the defaults; the same for the jobs file.
TEST(Engine, ANameThatIsNoReadableFileIsLeftAsItWas) {
    for (int kind = 0; kind < kNonFileKinds; ++kind) {
        EngineFixture f;
        PlantNonFile(kind, f.dir / "vgx.cfg");
        PlantNonFile(kind, f.dir / "folder.dat");
        const auto type = std::filesystem::symlink_status(f.dir / "vgx.cfg").type();
        f.engine.Load();
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
    f.engine.Load();
    const std::string saved = ReadFile(f.dir / "vgx.cfg");
    ASSERT_TRUE(f.engine.Settings().StepNumber(Setting::PoolingMinutes, true));
    EXPECT_EQ(f.engine.Settings().Working().PoolingMinutes, "4");
    f.engine.Unload();
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
    EXPECT_EQ(ReadFile(dir / "jet.exe").size(), FindResource("IIS", kResourceIis)->size());

    EXPECT_FALSE(ExtractResource(99, "NONE", dir / "x"));
    EXPECT_FALSE(std::filesystem::exists(dir / "x"));
}

}  // namespace
}  // namespace vgx::test
