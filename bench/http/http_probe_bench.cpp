// Median time of one HTTP probe against one `curl -I --http1.0` run, 200 requests each, both
// asking a local nginx that this program starts on 127.0.0.1 with its own configuration in a
// temporary folder and stops afterwards.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "probes/http_probe.h"
#include "support/poll_loop.h"

extern char** environ;

namespace {

constexpr int kRequests = 200;
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

std::uint16_t FreePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ::bind(s, reinterpret_cast<sockaddr*>(&a), length);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length);
    ::close(s);
    return ntohs(a.sin_port);
}

bool Accepts(std::uint16_t port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}

pid_t Spawn(std::vector<std::string> args, bool quiet) {
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = -1;
    if (::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void WriteText(const std::filesystem::path& p, const std::string& text) {
    std::ofstream(p) << text;
}

}  // namespace

int main() {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) {
        ::unsetenv(name);
    }
    std::string folder = (std::filesystem::temp_directory_path() / "vgx-bench-http-XXXXXX");
    if (::mkdtemp(folder.data()) == nullptr)
        return 1;
    const std::filesystem::path dir = folder;
    ::chmod(dir.c_str(), 0755);  // nginx's workers may run as another user
    std::filesystem::create_directory(dir / "www");
    WriteText(dir / "www" / "index.html", "vigiax\n");
    const std::uint16_t port = FreePort();
    const std::string d = dir.string();
    WriteText(dir / "nginx.conf",
              "worker_processes 1;\npid " + d + "/nginx.pid;\nerror_log " + d +
                  "/error.log;\nevents { worker_connections 64; }\nhttp {\n  access_log off;\n"
                  "  client_body_temp_path " +
                  d + "/body;\n  proxy_temp_path " + d + "/proxy;\n  fastcgi_temp_path " + d +
                  "/fastcgi;\n  server {\n    listen 127.0.0.1:" + std::to_string(port) +
                  ";\n    root " + d + "/www;\n  }\n}\n");

    const pid_t nginx = Spawn(
        {"nginx", "-p", d, "-c", d + "/nginx.conf", "-e", d + "/error.log", "-g", "daemon off;"},
        false);
    bool up = false;
    for (int i = 0; i < 100 && nginx > 0 && !(up = Accepts(port)); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    int rc = 1;
    if (up) {
        vgx::HttpGlobalInit();
        vgx::test::PollLoop loop;
        auto client = vgx::MakeCurlHttpClient(loop, port);
        vgx::HttpProbe probe(*client);
        std::vector<double> ours, curl;
        bool allOk = true;
        for (int i = 0; i < kRequests; ++i) {
            bool answered = false;
            const auto start = Clock::now();
            const vgx::LoopHandle check =
                probe.CheckHttpStatus("http://127.0.0.1/index.html", [&](vgx::HttpCheck c) {
                    answered = true;
                    allOk = c.ok && allOk;
                });
            allOk = loop.RunUntil([&] { return answered; }) && allOk;
            ours.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
        const std::string target = "http://127.0.0.1:" + std::to_string(port) + "/index.html";
        for (int i = 0; i < kRequests; ++i) {
            const auto start = Clock::now();
            const pid_t c =
                Spawn({"curl", "-I", "--http1.0", "-s", "-f", "-o", "/dev/null", target}, true);
            int status = 0;
            ::waitpid(c, &status, 0);
            curl.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
            allOk = allOk && c > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        const double mine = Median(ours), peer = Median(curl);
        std::printf("HTTP probe (in process, new connection each time): median %.1f us\n", mine);
        std::printf("curl -I --http1.0 (one process per request):        median %.1f us\n", peer);
        std::printf("ratio HTTP probe / curl -I over %d requests: %.3f%s\n", kRequests, mine / peer,
                    allOk ? "" : "  (some requests failed!)");
        rc = allOk ? 0 : 1;
    } else {
        std::fprintf(stderr, "nginx did not start; see %s/error.log\n", d.c_str());
    }
    if (nginx > 0) {
        ::kill(nginx, SIGQUIT);
        ::waitpid(nginx, nullptr, 0);
    }
    if (rc == 0)
        std::filesystem::remove_all(dir);
    return rc;
}
