#include "records/event_log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <functional>
#include <vector>

#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace vgx {
namespace {

using test::ReadFile;

// One file a day; control characters are written visibly, so that one event is one line.
TEST(EventLog, CreatesFolderAndAppendsDatedLinesOnePerEvent) {
    test::TempDir dir;
    test::FakeClock clock(MakeLocalTime(2026, 12, 5, 14, 5, 9));
    const EventLog log(dir.path(), clock);

    ASSERT_TRUE(log.WriteLog("INICIOU O SISTEMA"));
    clock.Advance(std::chrono::seconds(1));
    ASSERT_TRUE(log.WriteLog(""));
    clock.Advance(std::chrono::hours(10));
    ASSERT_TRUE(
        log.WriteLog("PASTA DELETADA! -> /a\r\n06/12/2026 00:05:10   BOOT!!! \t\x1b\x7f\x01é"));

    EXPECT_EQ(ReadFile(dir / "logs/05122026.txt"),
              "05/12/2026 14:05:09   INICIOU O SISTEMA\r\n"
              "05/12/2026 14:05:10   \r\n");
    EXPECT_EQ(ReadFile(dir / "logs/06122026.txt"),
              "06/12/2026 00:05:10   PASTA DELETADA! -> "
              "/a\\r\\n06/12/2026 00:05:10   BOOT!!! \\t\\x1b\\x7f\\x01é\r\n");
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

// A process out of descriptors still writes the line that says so.
TEST(EventLog, OutOfDescriptorsTheLineIsStillWritten) {
    if (kSanitized)
        GTEST_SKIP() << "the sanitizers check memory through descriptors of their own";
    test::TempDir dir;
    const test::FakeClock clock;
    const EventLog log(dir.path(), clock);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &old), 0);
    rlimit tight = old;
    tight.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    std::vector<UniqueFd> table;
    for (UniqueFd fd; (fd = UniqueFd(::open("/dev/null", O_RDONLY | O_CLOEXEC)));)
        table.push_back(std::move(fd));
    const bool written = log.WriteLog("CICLO NÃO CONTADO! ");
    table.clear();
    ::setrlimit(RLIMIT_NOFILE, &old);
    EXPECT_TRUE(written);
    EXPECT_NE(ReadFile(log.FileForDay(DayOf(clock.Now()))).find("CICLO NÃO CONTADO! "),
              std::string::npos);
}

// The day's file and the logs folder are never reached through a link, nor is a file that is
// not a regular one written; an unwritable log is reported, not fatal.
TEST(EventLog, APlantedLinkOrAnythingButAFolderAndAFileFailsTheWrite) {
    test::TempDir outside;
    test::WriteFile(outside / "victim", "keep");
    const test::FakeClock clock;
    const std::vector<std::function<void(const std::filesystem::path&)>> plants = {
        [&](const auto& d) { test::WriteFile(d / "logs", "not a folder"); },
        [&](const auto& d) {
            std::filesystem::create_directory_symlink(outside.path(), d / "logs");
        },
        [&](const auto& d) {
            std::filesystem::create_directory(d / "logs");
            std::filesystem::create_symlink(outside / "victim", d / "logs/05122026.txt");
        },
        [&](const auto& d) {
            std::filesystem::create_directory(d / "logs");
            ASSERT_EQ(::mkfifo((d / "logs/05122026.txt").c_str(), 0600), 0);
        }};
    for (const auto& plant : plants) {
        test::TempDir dir;
        plant(dir.path());
        EXPECT_FALSE(EventLog(dir.path(), clock).WriteLog("FALHAS RESETADAS! "));
        EXPECT_EQ(ReadFile(outside / "victim"), "keep");
        EXPECT_EQ(test::Names(outside.path()), std::set<std::string>{"victim"});
    }
}

}  // namespace
}  // namespace vgx
