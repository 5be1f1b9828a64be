// The program's watchdog end to end: a test build that only records computer restarts and
// carries a restart tool that records its run, in a temporary program directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <ctime>
#include <sstream>

#include "program_run.h"
#include "support/netns_pair.h"
#include "support/temp_dir.h"
#include "support/tiny_http_server.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;

std::string LogOf(const ProgramRun& run) {
    return ReadFile(run.Dir() / "logs" / TodaysLogName());
}

// Seconds since midnight of a "dd/mm/yyyy hh:mm:ss" stamp.
int SecondsOf(const std::string& stamp) {
    return std::stoi(stamp.substr(11, 2)) * 3600 + std::stoi(stamp.substr(14, 2)) * 60 +
           std::stoi(stamp.substr(17, 2));
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
        WaitFor([&] { return LogOf(run).find("IIS REINICIADO ") != std::string::npos; }, 20s))
        << LogOf(run);
    EXPECT_EQ(ReadFile(dir / "tool-runs.txt"), "/restart\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "jet.exe"));
    const std::string log = LogOf(run);
    EXPECT_LT(log.find("FALHA IIS: http://127.0.0.1/pagina.htm"), log.find("IIS REINICIADO "));
    EXPECT_NE(server.Requests().find("HEAD /pagina.htm HTTP/1.0\r\n"), std::string::npos);

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
    const std::string silent1 = net.Address(3);
    const std::string silent2 = net.Address(4);
    WriteSettings(dir.path(), [&](Settings& s) {
        s.NetCheckEnabled = 1;
        s.NetAddress1 = silent1;
        s.NetAddress2 = silent2;
        s.FailureLimit = "1";
        s.NetAction = 1;
    });
    ProgramRun run(VGX_TEST_PROGRAM, dir.path());
    run.Start({"ip", "netns", "exec", net.a()});

    ASSERT_TRUE(WaitFor([&] { return LogOf(run).find("BOOT!!! ") != std::string::npos; }, 40s))
        << LogOf(run);
    ASSERT_TRUE(
        WaitFor([&] { return std::filesystem::exists(dir / "restart-requests.txt"); }, 40s));
    const std::string log = LogOf(run);
    const auto first = log.find("FALHA ENDEREÇO: " + silent1);
    const auto second = log.find("FALHA ENDEREÇO: " + silent2);
    const auto boot = log.find("BOOT!!! ");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_LT(second, boot);

    const std::string bootStamp = log.substr(log.rfind("\n", boot) + 1, 19);
    const std::string restartStamp = ReadFile(dir / "restart-requests.txt").substr(0, 19);
    const int waited = SecondsOf(restartStamp) - SecondsOf(bootStamp);
    EXPECT_GE(waited, 30);
    EXPECT_LE(waited, 33);

    std::istringstream cfg(ReadFile(dir / "vgx.cfg"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(cfg, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[7], "1\r");
    EXPECT_EQ(lines[9], "\"" + TodaysDate() + "\"\r");

    run.Signal(SIGTERM);
    EXPECT_TRUE(run.WaitExit(25s).has_value());
}

}  // namespace
}  // namespace vgx::test
