// One watchdog per program directory: of two copies started in one directory only the first
// runs cycles; the second never takes over while it runs, and a copy started after the first
// has ended runs the watchdog again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "program_run.h"
#include "support/temp_dir.h"
#include "support/tiny_http_server.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;

TEST(OneCopyE2E, OnlyTheCopyHoldingTheLockRunsTheWatchdog) {
    TempDir dir;
    TinyServer server("HTTP/1.0 500 Erro\r\n\r\n");
    WriteSettings(dir.path(), [](Settings& s) {
        s.IISCheckEnabled = 1;
        s.IISUrl = "http://127.0.0.1/pagina.htm";
    });
    const std::string port = "VGX_TEST_HTTP_PORT=" + std::to_string(server.port());
    ProgramRun first(VGX_TEST_PROGRAM, dir.path());
    const auto count = [&](const std::string& message) { return first.Logged(message); };
    const std::string failure = "FALHA IIS: http://127.0.0.1/pagina.htm";

    first.Start({}, {port});
    ASSERT_TRUE(WaitFor([&] { return count(failure) == 1; }, 15s));
    ProgramRun second(VGX_TEST_PROGRAM, dir.path());
    second.Start({}, {port});
    std::this_thread::sleep_for(4s);  // a copy that ran the watchdog would have cycled by now
    EXPECT_EQ(count("INICIOU O SISTEMA"), 1);
    EXPECT_EQ(count(failure), 1);

    // The first ends: the second stays a face and does not take over.
    first.Signal(SIGTERM);
    ASSERT_EQ(first.WaitExit(5s), std::optional<int>(0));
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(count("INICIOU O SISTEMA"), 1);
    EXPECT_EQ(count(failure), 1);
    second.Signal(SIGTERM);
    ASSERT_EQ(second.WaitExit(5s), std::optional<int>(0));

    // The next start decides afresh.
    ProgramRun third(VGX_TEST_PROGRAM, dir.path());
    third.Start({}, {port});
    EXPECT_TRUE(WaitFor([&] { return count(failure) == 2; }, 15s));
    EXPECT_EQ(count("INICIOU O SISTEMA"), 2);
    third.Signal(SIGTERM);
    EXPECT_EQ(third.WaitExit(5s), std::optional<int>(0));
}

}  // namespace
}  // namespace vgx::test
