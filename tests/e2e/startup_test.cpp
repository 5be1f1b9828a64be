// The real program started in a temporary program directory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "program_run.h"
#include "support/temp_dir.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;
using ::testing::MatchesRegex;

const char* const kImages[] = {"xp.dat", "xp2.dat", "menu.dat", "menu2.dat"};

TEST(Startup, FirstRunCreatesSettingsAndLogThenStopsOnSigterm) {
    TempDir dir;
    ProgramRun run(VGX_PROGRAM, dir.path());
    run.Start();
    ASSERT_TRUE(WaitFor([&] { return !run.Log().empty(); }, 10s));

    EXPECT_EQ(
        ReadFile(dir / "vgx.cfg"),
        "\"\"\r\n\"3\"\r\n\"7\"\r\n0\r\n0\r\n\"www.google.com\"\r\n\"www.microsoft.com\"\r\n0\r\n"
        "0\r\n\"" +
            TodaysDate() + "\"\r\n\"\"\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n180\r\n0\r\n");
    EXPECT_THAT(run.Log(), MatchesRegex("[0-9/]{10} [0-9:]{8}   INICIOU O SISTEMA\r\n"));
    for (const char* image : kImages)
        EXPECT_GT(std::filesystem::file_size(dir / image), 0u);

    const auto stopped = std::chrono::steady_clock::now();
    run.Signal(SIGTERM);
    EXPECT_EQ(run.WaitExit(1s), std::optional<int>(0)) << "stops cleanly within a second";
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 1s);
}

TEST(Startup, EveryStartRewritesTheImagesAndKeepsTheSettings) {
    TempDir dir;
    ProgramRun run(VGX_PROGRAM, dir.path());
    run.Start();
    ASSERT_TRUE(WaitFor([&] { return !run.Log().empty(); }, 10s));
    run.Signal(SIGINT);
    ASSERT_TRUE(run.WaitExit(2s).has_value());

    const std::string original = ReadFile(dir / "xp.dat");
    WriteFile(dir / "xp.dat", "damaged");
    // Unchanged files are written again too: make them look old first.
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 365);
    for (const char* image : kImages)
        std::filesystem::last_write_time(dir / image, old);
    // A settings file with a change of its own survives the next start untouched.
    std::string cfg = ReadFile(dir / "vgx.cfg");
    WriteFile(dir / "vgx.cfg", cfg.replace(cfg.find("\"3\""), 3, "\"5\""));

    run.Start();
    ASSERT_TRUE(
        WaitFor([&] { return run.Log().find("INICIOU") != run.Log().rfind("INICIOU"); }, 10s));
    EXPECT_EQ(ReadFile(dir / "xp.dat"), original);
    for (const char* image : kImages)
        EXPECT_GT(std::filesystem::last_write_time(dir / image), old + 1h) << image;
    EXPECT_EQ(ReadFile(dir / "vgx.cfg"), cfg);
    run.Signal(SIGTERM);
    EXPECT_EQ(run.WaitExit(2s), std::optional<int>(0));
}

}  // namespace
}  // namespace vgx::test
