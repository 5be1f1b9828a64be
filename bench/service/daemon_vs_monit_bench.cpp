// The service copy (vigiaxd, its test build, which never restarts the machine) against monit
// 5.33, each in a network namespace of its own with a web server answering on 127.0.0.1:80,
// both checking ping and HTTP of 127.0.0.1 every 60 s, side by side. Measures resident memory
// and wake-ups (voluntary context switches of all threads) over the same span, and CPU time.
// Needs root (namespaces, the raw ICMP socket, port 80).
// Usage: vgx_bench_daemon_monit [seconds (120)]
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "../proc_stats.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

pid_t Spawn(const std::vector<std::string>& argv) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        if (std::freopen("/dev/null", "w", stdout) == nullptr)
            ::_exit(126);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    return pid;
}

// Voluntary context switches of every thread of `pid` (each is a sleep the process woke from).
long WakeUps(pid_t pid) {
    long total = 0;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
        std::ifstream in(task.path() / "status");
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                total += std::atol(line.c_str() + 24);
        }
    }
    return total;
}

struct Contender {
    std::string name;
    std::string ns;
    pid_t pid = -1;
    pid_t web = -1;
    long wakeStart = 0;
    double cpuStart = 0;
};

// nginx answering 200 on 127.0.0.1:80 inside `ns`, from the folder `dir`.
pid_t StartWebServer(const std::string& ns, const fs::path& dir) {
    fs::create_directories(dir);
    std::ofstream(dir / "nginx.conf")
        << "daemon off; pid " << (dir / "nginx.pid").string() << "; error_log "
        << (dir / "error.log").string() << ";\nevents {}\nhttp { access_log off;\n"
        << "  client_body_temp_path " << dir.string() << "; proxy_temp_path " << dir.string()
        << "; fastcgi_temp_path " << dir.string() << "; uwsgi_temp_path " << dir.string()
        << "; scgi_temp_path " << dir.string() << ";\n"
        << "  server { listen 127.0.0.1:80; location / { return 200 \"ok\\n\"; } } }\n";
    return Spawn({"ip", "netns", "exec", ns, "nginx", "-c", (dir / "nginx.conf").string()});
}

}  // namespace

int main(int argc, char** argv) {
    if (::geteuid() != 0) {
        std::fprintf(stderr, "needs root: network namespaces, raw ICMP, port 80\n");
        return 1;
    }
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 120;
    const fs::path daemon = VGX_DAEMON, monit = VGX_MONIT;
    if (!fs::exists(monit)) {
        std::fprintf(stderr, "%s missing: scripts/install-deps.sh unpacks monit there\n",
                     monit.c_str());
        return 1;
    }
    char tmpl[] = "/tmp/vgx-monit-bench-XXXXXX";
    const fs::path work = ::mkdtemp(tmpl);
    const std::string tag = std::to_string(::getpid());
    Contender vigiax{"vigiaxd", "vgxb-" + tag + "-v"}, peer{"monit", "vgxb-" + tag + "-m"};
    for (Contender* c : {&vigiax, &peer}) {
        Run("ip netns add " + c->ns + " && ip -n " + c->ns + " link set lo up");
        c->web = StartWebServer(c->ns, work / (c->name + "-web"));
    }
    std::this_thread::sleep_for(1s);

    // vigiaxd: both checks on 127.0.0.1 every minute, metrics off, under a service manager
    // that asks for keep-alives (WatchdogSec=120s, as the unit does).
    const fs::path data = work / "vigiax";
    fs::create_directories(data);
    std::ofstream(data / "vgx.cfg")
        << "\"\"\r\n\"1\"\r\n\"7\"\r\n1\r\n0\r\n\"127.0.0.1\"\r\n\"127.0.0.1\"\r\n0\r\n0\r\n"
           "\"01/01/2026\"\r\n\"http://127.0.0.1/\"\r\n0\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
           "180\r\n0\r\n";
    const fs::path notify = work / "notify";
    vigiax.pid = Spawn({"ip", "netns", "exec", vigiax.ns, "env", "NOTIFY_SOCKET=" + notify.string(),
                        "WATCHDOG_USEC=120000000", daemon.string(), "--data-dir", data.string(),
                        "--metrics-dir", ""});
    // monit: the same two checks every 60 s, in the foreground, no HTTP interface of its own.
    const fs::path rc = work / "monitrc";
    std::ofstream(rc) << "set daemon 60\nset pidfile " << (work / "monit.pid").string()
                      << "\nset idfile " << (work / "monit.id").string() << "\nset statefile "
                      << (work / "monit.state").string() << "\nset logfile /dev/null\n"
                      << "check host local with address 127.0.0.1\n"
                      << "  if failed ping then alert\n"
                      << "  if failed port 80 protocol http then alert\n";
    fs::permissions(rc, fs::perms::owner_read | fs::perms::owner_write);
    peer.pid = Spawn({"ip", "netns", "exec", peer.ns, monit.string(), "-I", "-c", rc.string()});

    // Past the start-up of both, then the measured span.
    std::this_thread::sleep_for(5s);
    for (Contender* c : {&vigiax, &peer}) {
        c->wakeStart = WakeUps(c->pid);
        c->cpuStart = vgx::bench::CpuSeconds(c->pid);
    }
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    long wakes[2], rss[2];
    double cpu[2];
    int i = 0;
    for (Contender* c : {&vigiax, &peer}) {
        wakes[i] = WakeUps(c->pid) - c->wakeStart;
        rss[i] = vgx::bench::RssKb(c->pid);
        cpu[i] = vgx::bench::CpuSeconds(c->pid) - c->cpuStart;
        ++i;
    }
    for (Contender* c : {&vigiax, &peer}) {
        for (const pid_t pid : {c->pid, c->web}) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
        Run("ip netns delete " + c->ns);
    }
    fs::remove_all(work);

    std::printf("over %d s, both checking ping and HTTP of 127.0.0.1 every 60 s:\n", seconds);
    std::printf("  vigiaxd: RSS %ld kB, %ld wake-ups, %.3f CPU s\n", rss[0], wakes[0], cpu[0]);
    std::printf("  monit:   RSS %ld kB, %ld wake-ups, %.3f CPU s\n", rss[1], wakes[1], cpu[1]);
    std::printf("vigiaxd / monit: memory x%.2f (aim <= 1.5), wake-ups %+ld, CPU x%.2f\n",
                static_cast<double>(rss[0]) / static_cast<double>(rss[1]), wakes[0] - wakes[1],
                cpu[1] > 0 ? cpu[0] / cpu[1] : 0.0);
    return 0;
}
