#include "textfile_exporter.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "program_run.h"
#include "records/unique_fd.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;

// A socket made in the network namespace `ns`: it stays there, whatever thread uses it.
UniqueFd SocketIn(const std::string& ns) {
    const UniqueFd home(::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC));
    const UniqueFd inside(::open(("/var/run/netns/" + ns).c_str(), O_RDONLY | O_CLOEXEC));
    if (!inside || ::setns(inside.get(), CLONE_NEWNET) != 0)
        return UniqueFd();
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    ::setns(home.get(), CLONE_NEWNET);
    return fd;
}

// GET /metrics on 127.0.0.1:9100 of `ns`: the status line and body, or empty when nothing
// answers.
std::string Get(const std::string& ns) {
    const UniqueFd fd = SocketIn(ns);
    const timeval timeout{5, 0};
    ::setsockopt(fd.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    const sockaddr_in a{AF_INET, htons(9100), {htonl(INADDR_LOOPBACK)}, {}};
    const std::string request = "GET /metrics HTTP/1.0\r\n\r\n";
    std::string response;
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 ||
        ::send(fd.get(), request.data(), request.size(), MSG_NOSIGNAL) != ssize_t(request.size()))
        return response;
    char buf[16384];
    for (ssize_t n; (n = ::recv(fd.get(), buf, sizeof buf, 0)) > 0;)
        response.append(buf, static_cast<std::size_t>(n));
    return response;
}

}  // namespace

std::string TextfileExporter::Unavailable() {
    if (::access(VGX_NODE_EXPORTER, X_OK) != 0)
        return "node_exporter not found; scripts/install-deps.sh unpacks it into .cache/tools";
    if (::geteuid() != 0 || std::system("ip netns list >/dev/null 2>&1") != 0)
        return "needs root and `ip netns` to give node_exporter a network namespace";
    return {};
}

TextfileExporter::TextfileExporter(const std::filesystem::path& textfileDir)
    : ns_("vgxt-" + std::to_string(::getpid()) + "-exporter") {
    if (std::system(("ip netns add " + ns_ + " && ip -n " + ns_ + " link set lo up").c_str()) != 0)
        throw std::runtime_error("no network namespace " + ns_);
    pid_ = Spawn({"ip", "netns", "exec", ns_, "sh", "-c", "exec \"$@\" >\"$0\" 2>&1",
                  (work_ / "output").string(), VGX_NODE_EXPORTER,
                  "--web.listen-address=127.0.0.1:9100",
                  "--web.disable-exporter-metrics", "--collector.disable-defaults",
                  "--collector.textfile", "--collector.textfile.directory=" + textfileDir.string()},
                 {});
    bool ended = false;
    const bool answers = WaitFor(
        [&] {
            ended = ::waitpid(pid_, nullptr, WNOHANG) == pid_;
            return ended || Get(ns_).starts_with("HTTP/1.");
        },
        10s, 50ms);
    if (ended)
        pid_ = -1;
    if (ended || !answers) {
        const std::string output = Output();
        Stop();
        throw std::runtime_error("node_exporter does not answer:\n" + output);
    }
}

TextfileExporter::~TextfileExporter() {
    Stop();
}

void TextfileExporter::Stop() {
    if (pid_ > 0 && ::kill(pid_, SIGTERM) == 0 &&
        !WaitFor([&] { return ::waitpid(pid_, nullptr, WNOHANG) != 0; }, 5s)) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
    if (!ns_.empty())
        [[maybe_unused]] const int rc = std::system(("ip netns delete " + ns_).c_str());
    ns_.clear();
}

std::string TextfileExporter::Scrape() const {
    const std::string response = Get(ns_);
    const std::size_t body = response.find("\r\n\r\n");
    if (body == std::string::npos || response.find(" 200 ") != 8)  // "HTTP/1.x 200 OK"
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
        if (!line.empty() && line[0] != '#')
            samples[line.substr(0, line.rfind(' '))] =
                std::strtod(&line[line.rfind(' ') + 1], nullptr);
    }
    return samples;
}

}  // namespace vgx::test
