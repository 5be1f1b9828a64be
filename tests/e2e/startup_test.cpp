// The real program started in a temporary program directory.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "program_run.h"
#include "support/temp_dir.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;

std::filesystem::path LogFile(const ProgramRun& run) {
    return run.Dir() / "logs" / TodaysLogName();
}

bool LogHas(const ProgramRun& run, const std::string& text) {
    return ReadFile(LogFile(run)).find(text) != std::string::npos;
}

std::filesystem::file_time_type Age(const std::filesystem::path& p) {
    return std::filesystem::last_write_time(p);
}

const char* const kImages[] = {"xp.dat", "xp2.dat", "menu.dat", "menu2.dat"};

TEST(Startup, FirstRunCreatesSettingsAndLogThenStopsOnSigterm) {
    TempDir dir;
    ProgramRun run(VGX_PROGRAM, dir.path());
    run.Start();
    ASSERT_TRUE(WaitFor([&] { return LogHas(run, "INICIOU O SISTEMA"); }, 10s));

    const std::string expected =
        "\"\"\r\n\"3\"\r\n\"7\"\r\n0\r\n0\r\n\"www.google.com\"\r\n"
        "\"www.microsoft.com\"\r\n0\r\n0\r\n\"" +
        TodaysDate() + "\"\r\n\"\"\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n180\r\n0\r\n";
    EXPECT_EQ(ReadFile(dir / "vgx.cfg"), expected);

    const std::regex line(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d   INICIOU O SISTEMA\r\n)");
    EXPECT_TRUE(std::regex_match(ReadFile(LogFile(run)), line)) << ReadFile(LogFile(run));
    for (const char* image : kImages)
        EXPECT_GT(std::filesystem::file_size(dir / image), 0u);

    const auto stopped = std::chrono::steady_clock::now();
    run.Signal(SIGTERM);
    const auto status = run.WaitExit(1s);
    ASSERT_TRUE(status.has_value()) << "still running a second after SIGTERM";
    EXPECT_EQ(*status, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 1s);
}

TEST(Startup, EveryStartRewritesTheImagesAndKeepsTheSettings) {
    TempDir dir;
    ProgramRun run(VGX_PROGRAM, dir.path());
    run.Start();
    ASSERT_TRUE(WaitFor([&] { return LogHas(run, "INICIOU O SISTEMA"); }, 10s));
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
    cfg.replace(cfg.find("\"3\""), 3, "\"5\"");
    WriteFile(dir / "vgx.cfg", cfg);

    run.Start();
    ASSERT_TRUE(WaitFor(
        [&] {
            const std::string log = ReadFile(LogFile(run));
            return log.find("INICIOU") != log.rfind("INICIOU");
        },
        10s));
    EXPECT_EQ(ReadFile(dir / "xp.dat"), original);
    for (const char* image : kImages)
        EXPECT_GT(Age(dir / image), old + 1h) << image;
    EXPECT_EQ(ReadFile(dir / "vgx.cfg"), cfg);
    run.Signal(SIGTERM);
    EXPECT_EQ(run.WaitExit(2s), std::optional<int>(0));
}

}  // namespace
}  // namespace vgx::test
