// The program's watchdog end to end: a test build that only records computer restarts and
// carries a restart tool that records its run, in a temporary program directory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "program_run.h"
#include "support/netns_pair.h"
#include "support/temp_dir.h"
#include "support/tiny_http_server.h"
#include "support/todays_log.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;
using ::testing::_;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Seconds since midnight of a line's "dd/mm/yyyy hh:mm:ss" stamp.
int SecondsOf(const std::string& line) {
    return std::stoi(line.substr(11, 2)) * 3600 + std::stoi(line.substr(14, 2)) * 60 +
           std::stoi(line.substr(17, 2));
}

TEST(WatchdogE2E, FailingPageRestartsTheWebServerThroughTheCarriedTool) {
    TempDir dir;
    const auto toolRan = [&] { return std::filesystem::exists(dir / "tool-runs.txt"); };
    TinyServer server(
        [&] { return toolRan() ? "HTTP/1.0 200 OK\r\n\r\n" : "HTTP/1.0 500 Erro\r\n\r\n"; });
    WriteSettings(dir.path(), [](Settings& s) {
        s.IISCheckEnabled = 1;
        s.IISUrl = "http://127.0.0.1/pagina.htm";
        s.FailureLimit = "1";
        s.IISAction = 1;
    });
    ProgramRun run(VGX_TEST_PROGRAM, dir.path());
    run.Start({}, {"VGX_TEST_HTTP_PORT=" + std::to_string(server.port())});

    ASSERT_TRUE(
        WaitFor([&] { return run.Log().find("IIS REINICIADO ") != std::string::npos; }, 20s))
        << run.Log();
    EXPECT_EQ(ReadFile(dir / "tool-runs.txt"), "/restart\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "jet.exe"));
    EXPECT_THAT(LogMessages(run.Log()),
                ElementsAre("INICIOU O SISTEMA", "FALHA IIS: http://127.0.0.1/pagina.htm",
                            "IIS REINICIADO "));
    EXPECT_THAT(server.Requests(), HasSubstr("HEAD /pagina.htm HTTP/1.0\r\n"));
    EXPECT_FALSE(std::filesystem::exists(dir / "restart-requests.txt"));

    run.Signal(SIGTERM);
    EXPECT_EQ(run.WaitExit(5s), std::optional<int>(0));
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
    EXPECT_THAT(ReadFile(dir / "vgx.cfg"), HasSubstr("\r\n1\r\n1\r\n\"" + TodaysDate() + "\"\r\n"));

    run.Signal(SIGTERM);
    EXPECT_TRUE(run.WaitExit(25s).has_value());
}

}  // namespace
}  // namespace vgx::test
