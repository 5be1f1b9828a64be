// The real web-server restart tool against a real nginx. Needs root and an installed nginx
// that nothing else is running; the test starts nginx itself and stops it at the end.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <regex>

#include "program_run.h"
#include "support/todays_log.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

const char* const kInitScript = "/etc/init.d/nginx";
const char* const kAccessLog = "/var/log/nginx/access.log";

bool Port80Open() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in a{AF_INET, htons(80), {htonl(INADDR_LOOPBACK)}, {}};
    const bool open = ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return open;
}

std::string WhyNot() {
    if (::geteuid() != 0)
        return "needs root to start and stop nginx";
    if (::access(kInitScript, X_OK) != 0)
        return "nginx is not installed";
    if (std::system("pgrep -x 'apache2|nginx|lighttpd|httpd' >/dev/null 2>&1") == 0)
        return "a web server is already running here; it is not ours";
    if (Port80Open())
        return "port 80 is taken";
    return {};
}

// Answers from nginx to the program: HEAD / with status 200 and the agent Vigiax.
std::ptrdiff_t AnswersToVigiax() {
    static const std::regex answer(R"("HEAD / HTTP/1\.0" 200 .*"Vigiax")");
    const std::string log = ReadFile(kAccessLog);
    return std::distance(std::sregex_iterator(log.begin(), log.end(), answer), {});
}

// nginx as this test started it: stopped again whatever happens.
class OurNginx {
public:
    OurNginx() { Run("start"); }
    ~OurNginx() { Run("stop"); }
    static void Run(const std::string& verb) {
        [[maybe_unused]] const int rc =
            std::system((std::string(kInitScript) + " " + verb + " >/dev/null 2>&1").c_str());
    }
};

TEST(NginxRestart, CarriedToolBringsBackAStoppedNginx) {
    if (const std::string why = WhyNot(); !why.empty())
        GTEST_SKIP() << why;
    OurNginx nginx;
    ASSERT_TRUE(WaitFor(Port80Open, 10s)) << "nginx did not start";

    TempDir dir;
    WriteSettings(dir.path(), [](Settings& s) {
        s.WebCheckEnabled = 1;
        s.WebPage = "http://127.0.0.1/";
        s.FailureLimit = "1";
        s.WebAction = 1;
        s.PoolingMinutes = "1";
    });
    const auto before = AnswersToVigiax();
    ProgramRun run(VGX_REALTOOL_PROGRAM, dir.path());
    run.Start();

    ASSERT_TRUE(WaitFor([&] { return AnswersToVigiax() > before; }, 15s)) << "first cycle";
    OurNginx::Run("stop");
    ASSERT_TRUE(WaitFor([] { return !Port80Open(); }, 10s));

    ASSERT_TRUE(
        WaitFor([&] { return run.Log().find("IIS REINICIADO ") != std::string::npos; }, 90s))
        << run.Log();
    EXPECT_THAT(
        LogMessages(run.Log()),
        ElementsAre("INICIOU O SISTEMA", "FALHA IIS: http://127.0.0.1/", "IIS REINICIADO "));
    EXPECT_TRUE(WaitFor(Port80Open, 10s)) << "the tool did not bring nginx back";
    EXPECT_FALSE(std::filesystem::exists(dir / "jet.exe"));

    const auto afterRestart = AnswersToVigiax();
    EXPECT_TRUE(WaitFor([&] { return AnswersToVigiax() > afterRestart; }, 90s))
        << "the next cycle did not read 200";
    EXPECT_EQ(run.Logged("FALHA IIS: http://127.0.0.1/"), 1);
}

}  // namespace
}  // namespace vgx::test
