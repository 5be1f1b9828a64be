// The program end to end in temporary program directories: its watchdog in a test build that
// only records computer restarts; of two copies in one program directory only the one holding
// the lock runs it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "program_run.h"
#include "support/netns_pair.h"
#include "support/tiny_http_server.h"
#include "support/todays_log.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;
using namespace ::testing;

// Seconds since midnight of a line's "dd/mm/yyyy hh:mm:ss" stamp.
int SecondsOf(const std::string& line) {
    return std::stoi(line.substr(11, 2)) * 3600 + std::stoi(line.substr(14, 2)) * 60 +
           std::stoi(line.substr(17, 2));
}

TEST(WatchdogE2E, SilentAddressesLeadToARestartThirtyOneSecondsAfterTheWarning) {
    if (const std::string why = NetnsPair::Unavailable(); !why.empty())
        GTEST_SKIP() << why;
    NetnsPair net;
    TempDir dir;
    // Addresses on the namespace's own link that nobody holds: each echo times out.
    const std::string silent1 = net.Address(3), silent2 = net.Address(4);
    WriteSettings(dir.path(), [&](Settings& s) {
        s.NetCheckEnabled = 1;
        s.NetAddress1 = silent1;
        s.NetAddress2 = silent2;
        s.FailureLimit = "1";
        s.NetAction = 1;
    });
    ProgramRun run(VGX_TEST_PROGRAM, dir.path());
    run.Start({"ip", "netns", "exec", net.a()});

    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(dir / "restart-requests.txt"); }, 80s))
        << run.Log();
    const std::string log = run.Log();
    EXPECT_THAT(LogMessages(log), ElementsAre(_, "FALHA ENDEREÇO: " + silent1,
                                              "FALHA ENDEREÇO: " + silent2, "BOOT!!! "));
    // The message starts 22 characters into its line, after the time stamp.
    const int waited = SecondsOf(ReadFile(dir / "restart-requests.txt")) -
                       SecondsOf(log.substr(log.find("BOOT!!! ") - 22));
    EXPECT_GE(waited, 30);
    EXPECT_LE(waited, 33);

    EXPECT_TRUE(run.Stop(25s).has_value());
}

TEST(OneCopyE2E, OnlyTheCopyHoldingTheLockRunsTheWatchdog) {
    TempDir dir;
    TinyServer server("HTTP/1.0 500 Erro\r\n\r\n");
    WriteWebCheck(dir.path());
    const std::vector<std::string> env = {HttpPortEnv(server.port())};
    ProgramRun first(VGX_TEST_PROGRAM, dir.path());
    const auto count = [&](const std::string& message) { return first.Logged(message); };

    first.Start({}, env);
    ASSERT_TRUE(WaitFor([&] { return count(kPageFailure) == 1; }, 15s));
    ProgramRun second(VGX_TEST_PROGRAM, dir.path());
    second.Start({}, env);
    std::this_thread::sleep_for(4s);  // a copy that ran the watchdog would have cycled by now
    // The first ends: the second stays a face and does not take over.
    ASSERT_EQ(first.Stop(), std::optional<int>(0));
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(count("INICIOU O SISTEMA"), 1);
    EXPECT_EQ(count(kPageFailure), 1);
    ASSERT_EQ(second.Stop(), std::optional<int>(0));

    // The next start decides afresh. A lock that cannot be taken is no other copy: this one
    // watches, says why, and leaves what stands under the name alone.
    for (const bool fifo : {false, true}) {
        if (fifo) {
            std::filesystem::remove(dir / "vigiax.lock");
            ASSERT_EQ(::mkfifo((dir / "vigiax.lock").c_str(), 0600), 0);
        }
        ProgramRun next(VGX_TEST_PROGRAM, dir.path());
        next.Start({}, env);
        EXPECT_TRUE(WaitFor([&] { return count(kPageFailure) == (fifo ? 3 : 2); }, 15s));
        EXPECT_EQ(count("INICIOU O SISTEMA"), fifo ? 3 : 2);
        EXPECT_EQ(next.Stop(), std::optional<int>(0));
    }
    EXPECT_EQ(count("FALHA AO TRAVAR VIGIAX.LOCK! não é um arquivo comum "), 1);
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "vigiax.lock"));
}

}  // namespace
}  // namespace vgx::test
