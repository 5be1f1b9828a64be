// Idle cost of the service copy (`vigiax --service`, started as systemd starts it: a
// notification socket and the unit's watchdog interval, no display) against a bare
// QCoreApplication with the same two timers, and against the desktop copy on the offscreen
// platform. The three run side by side for each round; the medians over the rounds give the
// ratios. Both copies run with their checks off, so nothing but the timers is at work.
// Usage: vgx_bench_service_idle [rounds (5)] [seconds per round (60)]
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../proc_stats.h"

namespace {

using vgx::bench::CpuSeconds;
using vgx::bench::RssKb;

namespace fs = std::filesystem;

// The service manager's notification socket: read and thrown away, as systemd would.
class NotifySink {
public:
    explicit NotifySink(const fs::path& path) {
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::strncpy(a.sun_path, path.c_str(), sizeof a.sun_path - 1);
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            std::perror("notify socket");
            std::exit(1);
        }
        reader_ = std::thread([this] {
            char buf[512];
            while (!stop_) {
                pollfd p{fd_, POLLIN, 0};
                if (::poll(&p, 1, 100) > 0)
                    ::recv(fd_, buf, sizeof buf, 0);
            }
        });
    }
    ~NotifySink() {
        stop_ = true;
        reader_.join();
        ::close(fd_);
    }

private:
    int fd_ = -1;
    std::atomic<bool> stop_ = false;
    std::thread reader_;
};

pid_t Start(const fs::path& exe, const fs::path& dir, const std::vector<std::string>& args,
            const std::vector<std::string>& env) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("NOTIFY_SOCKET");
        for (const std::string& e : env)
            ::putenv(const_cast<char*>(e.c_str()));
        if (::chdir(dir.c_str()) != 0)
            ::_exit(126);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        std::vector<char*> argv{const_cast<char*>(exe.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

// Memory that is the process's alone (private pages; shared library text not counted).
long UssKb(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string line;
    long total = 0;
    while (std::getline(in, line)) {
        for (const char* key : {"Private_Clean:", "Private_Dirty:"}) {
            if (line.rfind(key, 0) == 0)
                total += std::atol(line.c_str() + std::strlen(key));
        }
    }
    return total;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Samples {
    std::vector<double> cpuPerHour;
    std::vector<double> rssKb;
    std::vector<double> ussKb;
};

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    const fs::path program = VGX_PROGRAM;
    const fs::path peer = VGX_PEER;

    char tmpl[] = "/tmp/vgx-service-bench-XXXXXX";
    const fs::path work = ::mkdtemp(tmpl);
    Samples service, desktop, bare;
    for (int round = 0; round < rounds; ++round) {
        const fs::path s = work / "service";
        const fs::path d = work / "desktop";
        for (const fs::path& dir : {s, d}) {
            fs::create_directories(dir);
            fs::copy_file(program, dir / program.filename(), fs::copy_options::overwrite_existing);
        }
        const fs::path socket = work / "notify";
        fs::remove(socket);
        NotifySink sink(socket);
        const pid_t pids[] = {
            Start(s / program.filename(), s, {"--service"},
                  {"NOTIFY_SOCKET=" + socket.string(), "WATCHDOG_USEC=120000000"}),
            Start(d / program.filename(), d, {}, {"QT_QPA_PLATFORM=offscreen"}),
            Start(peer, work, {}, {}),
        };
        std::this_thread::sleep_for(std::chrono::seconds(2));
        double before[3];
        for (int i = 0; i < 3; ++i)
            before[i] = CpuSeconds(pids[i]);
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        Samples* into[] = {&service, &desktop, &bare};
        for (int i = 0; i < 3; ++i) {
            into[i]->cpuPerHour.push_back((CpuSeconds(pids[i]) - before[i]) * 3600 / seconds);
            into[i]->rssKb.push_back(static_cast<double>(RssKb(pids[i])));
            into[i]->ussKb.push_back(static_cast<double>(UssKb(pids[i])));
            ::kill(pids[i], SIGTERM);
            ::waitpid(pids[i], nullptr, 0);
        }
        std::printf(
            "round %d: service %.3f CPU s/h %.0f kB, desktop %.3f CPU s/h %.0f kB, "
            "peer %.3f CPU s/h %.0f kB\n",
            round + 1, service.cpuPerHour.back(), service.rssKb.back(), desktop.cpuPerHour.back(),
            desktop.rssKb.back(), bare.cpuPerHour.back(), bare.rssKb.back());
        std::fflush(stdout);
    }
    fs::remove_all(work);

    const double sCpu = Median(service.cpuPerHour), pCpu = Median(bare.cpuPerHour);
    const double sRss = Median(service.rssKb), pRss = Median(bare.rssKb);
    const double dRss = Median(desktop.rssKb), dCpu = Median(desktop.cpuPerHour);
    const double sUss = Median(service.ussKb), pUss = Median(bare.ussKb);
    const double dUss = Median(desktop.ussKb);
    std::printf("medians over %d rounds of %d s:\n", rounds, seconds);
    std::printf("  service copy: %.3f CPU s/h, RSS %.0f kB, private %.0f kB\n", sCpu, sRss, sUss);
    std::printf("  desktop copy: %.3f CPU s/h, RSS %.0f kB, private %.0f kB\n", dCpu, dRss, dUss);
    std::printf(
        "  peer (bare QCoreApplication, same timers): %.3f CPU s/h, RSS %.0f kB, "
        "private %.0f kB\n",
        pCpu, pRss, pUss);
    std::printf("service / peer: memory x%.2f (private x%.2f), idle CPU x%.2f\n", sRss / pRss,
                sUss / pUss, pCpu > 0 ? sCpu / pCpu : 0.0);
    std::printf("service / desktop: memory x%.2f (private x%.2f), idle CPU x%.2f\n", sRss / dRss,
                sUss / dUss, dCpu > 0 ? sCpu / dCpu : 0.0);
    return 0;
}
