// The service copy started as systemd starts it: a notification socket the test listens on, a
// watchdog interval, no display, and /dev/log captured in a mount namespace of its own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/un.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "cleaning/jobs_file.h"
#include "program_run.h"
#include "records/unique_fd.h"
#include "support/temp_dir.h"
#include "support/tiny_http_server.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;
using namespace ::testing;

// A datagram socket bound at `path`, read as datagrams arrive, as systemd and the system log
// read theirs: a sender never finds the queue full.
class DatagramSink {
public:
    explicit DatagramSink(const std::filesystem::path& path) {
        sockaddr_un address{AF_UNIX, {}};
        path.string().copy(address.sun_path, sizeof address.sun_path - 1);
        if (::bind(fd_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            throw std::runtime_error("bind " + path.string());
        reader_ = std::jthread([this](std::stop_token stop) {
            char buf[4096];
            for (pollfd p{fd_.get(), POLLIN, 0}; !stop.stop_requested();) {
                if (::poll(&p, 1, 20) <= 0)
                    continue;
                const ssize_t n = ::recv(fd_.get(), buf, sizeof buf, 0);
                std::lock_guard<std::mutex> lock(mutex_);
                received_.emplace_back(buf, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
            }
        });
    }
    std::vector<std::string> Received() {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }
    long Count(const std::string& datagram) { return std::ranges::count(Received(), datagram); }
    bool Has(const std::string& text) { return Value(Received(), Contains(HasSubstr(text))); }

private:
    UniqueFd fd_{::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)};
    std::mutex mutex_;
    std::vector<std::string> received_;
    std::jthread reader_;  // last: stopped before the socket closes
};

// Runs a command in a mount namespace whose /dev is the folder $1: the usual devices bound from
// the real /dev, and whatever the test put there (its own `log` socket).
constexpr const char* kWithPrivateDev =
    "set -e; d=$1; shift;"
    "for n in null zero full random urandom tty; do : > \"$d/$n\";"
    " mount --bind \"/dev/$n\" \"$d/$n\"; done;"
    "ln -s /proc/self/fd \"$d/fd\"; mount --rbind \"$d\" /dev; exec \"$@\"";

TEST(ServiceE2E, ReportsToSystemdPausesContinuesAndStops) {
    TempDir dir;
    TempDir trash;
    TempDir dev;
    TinyServer server("HTTP/1.0 200 OK\r\n\r\n");
    WriteWebCheck(dir.path(), [](Settings& s) { s.PoolingMinutes = "1"; });
    // Due at the first cleaning tick, 23 s after the cleaning timer starts.
    WriteFile(trash / "velho.txt", "x");
    CleaningJob job;
    job.Path.Assign(trash.path().string());
    job.Kind = static_cast<std::uint8_t>(JobKind::AtStart);
    SaveCleaningJobs(dir.path(), {job});

    DatagramSink notify(dir / "notify");
    // The system log is captured where the test can make a mount namespace (as root).
    std::optional<DatagramSink> syslog;
    std::vector<std::string> prefix;
    if (std::system("unshare --mount --propagation private true >/dev/null 2>&1") == 0) {
        syslog.emplace(dev / "log");
        prefix = {"unshare",       "--mount", "--propagation",    "private", "sh", "-c",
                  kWithPrivateDev, "sh",      dev.path().string()};
    } else {
        std::cout << "[   NOTE   ] system log not captured: no mount namespace here\n";
    }
    ProgramRun run(VGX_TEST_PROGRAM, dir.path());
    const auto started = std::chrono::steady_clock::now();
    // A windowing platform that cannot open: the service copy must not load one.
    run.Start(prefix,
              {"NOTIFY_SOCKET=" + (dir / "notify").string(), "WATCHDOG_USEC=2000000",
               "QT_QPA_PLATFORM=xcb", HttpPortEnv(server.port())},
              {"--service"});
    // A pause sent as soon as the program's own code runs (it blocks the signal first thing),
    // long before it is ready, is kept until it is: it neither kills the copy nor gets lost.
    // Paused before the first pooling tick, as a rule.
    const auto proc = "/proc/" + std::to_string(run.Pid());
    ASSERT_TRUE(WaitFor(
        [&] {
            std::error_code ec;
            // "vigiax --service" has become the daemon, with the same pid.
            if (std::filesystem::read_symlink(proc + "/exe", ec).filename() != "vigiaxd-e2e")
                return false;
            const std::string text = ReadFile(proc + "/status");
            const auto at = text.find("SigBlk:\t");
            return at != std::string::npos &&
                   (std::stoull(text.substr(at + 8, 16), nullptr, 16) & (1ULL << (SIGUSR1 - 1)));
        },
        5s, 1ms));
    run.Signal(SIGUSR1);

    ASSERT_TRUE(
        WaitFor([&] { return notify.Count("READY=1\nSTATUS=Vigiando o servidor") == 1; }, 10s))
        << ::testing::PrintToString(notify.Received());
    ASSERT_TRUE(WaitFor([&] { return notify.Has("STATUS=Serviço Pausado"); }, 5s));
    std::this_thread::sleep_for(1s);  // a cycle under way finishes
    const long requests = server.Heads();
    const long keepAlives = notify.Count("WATCHDOG=1");

    // Past the first cleaning tick (23 s) and past the next cycle's time: nothing runs. A
    // cycle that came before the pause puts the next one a minute after it.
    std::this_thread::sleep_until(started + (requests == 0 ? 27s : 63s));
    EXPECT_EQ(server.Heads(), requests);
    EXPECT_TRUE(std::filesystem::exists(trash / "velho.txt"));
    EXPECT_GE(notify.Count("WATCHDOG=1"), keepAlives + 10) << "keep-alives go on while paused";

    run.Signal(SIGUSR2);
    ASSERT_TRUE(WaitFor([&] { return notify.Has("STATUS=Serviço Continuado"); }, 5s));
    EXPECT_TRUE(WaitFor([&] { return server.Heads() > requests; }, 5s));
    EXPECT_TRUE(WaitFor([&] { return !std::filesystem::exists(trash / "velho.txt"); }, 30s));

    for (int i = 0; i < 50; ++i)  // a storm of stops still ends with the copy's own status
        run.Signal(SIGTERM);
    EXPECT_EQ(run.WaitExit(5s), std::optional<int>(0))
        << run.Log() << ::testing::PrintToString(notify.Received());
    EXPECT_EQ(notify.Received().back(), "STOPPING=1");
    if (syslog) {
        // Daemon facility, information level, the program's ident.
        EXPECT_THAT(syslog->Received(), Contains(AllOf(HasSubstr("<30>"), HasSubstr("Vigiax["),
                                                       HasSubstr("]: Serviço Pausado"))));
        EXPECT_TRUE(syslog->Has("]: Serviço Continuado"));
    }

    // Without the daemon beside it, "vigiax --service" says so and fails.
    ProgramRun orphan(VGX_TEST_PROGRAM, dir.path());
    std::filesystem::remove(dir / "vigiaxd-e2e");
    orphan.Start({}, {}, {"--service"});
    EXPECT_EQ(orphan.WaitExit(5s), std::optional<int>(1));
}

// A web server that takes the connection and never answers: the check waits its 30 s on the
// loop, the keep-alives go on meanwhile, and a stop ends the wait at once.
TEST(ServiceE2E, KeepAlivesGoOnWhileTheWebServerStalls) {
    TempDir dir;
    TinyServer silent("");
    WriteWebCheck(dir.path());
    DatagramSink notify(dir / "notify");
    ProgramRun run(VGX_TEST_PROGRAM, dir.path());
    run.Start({},
              {"NOTIFY_SOCKET=" + (dir / "notify").string(), "WATCHDOG_USEC=2000000",
               HttpPortEnv(silent.port())},
              {"--service"});
    ASSERT_TRUE(WaitFor([&] { return silent.Heads() == 1; }, 10s));
    const long before = notify.Count("WATCHDOG=1");
    std::this_thread::sleep_for(5s);
    // sd-event sends one between half and three quarters of the interval.
    EXPECT_GE(notify.Count("WATCHDOG=1") - before, 3) << "keep-alives every 1 to 1.5 s";
    EXPECT_EQ(run.Logged("FALHA IIS"), 0) << "still waiting for the page";
    EXPECT_EQ(run.Stop(3s), std::optional<int>(0));
    EXPECT_EQ(run.Logged("FALHA IIS"), 0) << "a stop neither counts nor acts";
}

}  // namespace
}  // namespace vgx::test
