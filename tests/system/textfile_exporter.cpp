#include "textfile_exporter.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace vgx::test {
namespace {

using namespace std::chrono_literals;

constexpr std::uint16_t kPort = 9100;

std::string Binary() {
    return VGX_NODE_EXPORTER;
}

bool Quiet(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// GET /metrics on 127.0.0.1:9100 of the namespace: the status line and body, or empty when
// nothing answers. The socket is made by a thread that entered the namespace, so it lives there.
std::string Get(const std::string& ns) {
    std::string response;
    std::thread([&] {
        const int nsFd = ::open(("/run/netns/" + ns).c_str(), O_RDONLY | O_CLOEXEC);
        const bool entered = nsFd >= 0 && ::setns(nsFd, CLONE_NEWNET) == 0;
        if (nsFd >= 0)
            ::close(nsFd);
        if (!entered)
            return;
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const timeval timeout{5, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        const sockaddr_in a{AF_INET, htons(kPort), {htonl(INADDR_LOOPBACK)}, {}};
        const std::string request = "GET /metrics HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 &&
            ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
                static_cast<ssize_t>(request.size())) {
            char buf[16384];
            for (ssize_t n; (n = ::recv(fd, buf, sizeof buf, 0)) > 0;)
                response.append(buf, static_cast<std::size_t>(n));
        }
        ::close(fd);
    }).join();
    return response;
}

}  // namespace

std::string TextfileExporter::Unavailable() {
    if (::geteuid() != 0)
        return "needs root to make a network namespace for node_exporter";
    if (Binary().empty() || ::access(Binary().c_str(), X_OK) != 0)
        return "node_exporter not found; scripts/install-deps.sh unpacks it into .cache/tools";
    if (!Quiet("ip netns list"))
        return "no usable `ip netns`";
    return {};
}

TextfileExporter::TextfileExporter(const std::filesystem::path& textfileDir) {
    static int counter = 0;
    ns_ = "vgxne-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    if (!Quiet("ip netns add " + ns_))
        throw std::runtime_error("cannot add network namespace " + ns_);
    if (!Quiet("ip -n " + ns_ + " link set lo up")) {
        Stop();
        throw std::runtime_error("cannot bring up the loopback of " + ns_);
    }

    std::vector<std::string> args = {"ip",
                                     "netns",
                                     "exec",
                                     ns_,
                                     Binary(),
                                     "--web.listen-address=127.0.0.1:" + std::to_string(kPort),
                                     "--web.disable-exporter-metrics",
                                     "--collector.disable-defaults",
                                     "--collector.textfile",
                                     "--collector.textfile.directory=" + textfileDir.string()};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string log = (work_ / "output").string();
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int rc = ::posix_spawnp(&pid_, "ip", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        pid_ = -1;
        Stop();
        throw std::runtime_error("cannot start node_exporter");
    }
    // `ip netns exec` becomes the exporter: the pid is the exporter's.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!Answers()) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            const std::string output = Output();
            Stop();
            throw std::runtime_error("node_exporter ended at start:\n" + output);
        }
        if (std::chrono::steady_clock::now() > deadline) {
            const std::string output = Output();
            Stop();
            throw std::runtime_error("node_exporter does not answer:\n" + output);
        }
        std::this_thread::sleep_for(50ms);
    }
}

TextfileExporter::~TextfileExporter() {
    Stop();
}

void TextfileExporter::Stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(20ms);
        }
        pid_ = -1;
    }
    Quiet("ip netns del " + ns_);
}

bool TextfileExporter::Answers() const {
    return Get(ns_).starts_with("HTTP/1.");
}

std::string TextfileExporter::Scrape() const {
    const std::string response = Get(ns_);
    const std::size_t body = response.find("\r\n\r\n");
    if (body == std::string::npos ||
        (!response.starts_with("HTTP/1.0 200") && !response.starts_with("HTTP/1.1 200")))
        throw std::runtime_error("scrape failed: " + response.substr(0, response.find('\r')));
    return response.substr(body + 4);
}

std::string TextfileExporter::Output() const {
    return ReadFile(work_ / "output");
}

std::map<std::string, double> ParseSamples(const std::string& exposition) {
    std::map<std::string, double> samples;
    std::istringstream in(exposition);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t space = line.rfind(' ');
        samples[line.substr(0, space)] = std::strtod(line.c_str() + space + 1, nullptr);
    }
    return samples;
}

}  // namespace vgx::test
