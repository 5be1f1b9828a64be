// The real program started in a temporary program directory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "program_run.h"
#include "support/temp_dir.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;
using ::testing::MatchesRegex;

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
    for (const char* image : {"xp.dat", "xp2.dat", "menu.dat", "menu2.dat"})
        EXPECT_GT(std::filesystem::file_size(dir / image), 0u);

    const auto stopped = std::chrono::steady_clock::now();
    run.Signal(SIGTERM);
    EXPECT_EQ(run.WaitExit(1s), std::optional<int>(0)) << "stops cleanly within a second";
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 1s);
}

}  // namespace
}  // namespace vgx::test
