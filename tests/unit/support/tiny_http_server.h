#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace vgx::test {

// A one-connection-at-a-time server on 127.0.0.1 that records requests and answers each with
// `answer`, or stays silent when it is empty.
class TinyServer {
public:
    explicit TinyServer(std::string answer) : answer_(std::move(answer)) {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t length = sizeof address;
        auto* a = reinterpret_cast<sockaddr*>(&address);
        if (::bind(listener_, a, length) != 0 || ::listen(listener_, 8) != 0 ||
            ::getsockname(listener_, a, &length) != 0)
            throw std::runtime_error("server socket");
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~TinyServer() {
        ::shutdown(listener_, SHUT_RDWR);  // ends the waiting accept
        thread_.join();
        ::close(listener_);
    }

    std::uint16_t port() const { return port_; }
    std::string Requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    // How many HEAD requests came.
    long Heads() {
        long n = 0;
        const std::string all = Requests();
        for (auto at = all.find("HEAD "); at != std::string::npos; at = all.find("HEAD ", at + 1))
            ++n;
        return n;
    }

private:
    void Serve() {
        for (;;) {
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0 && errno == EINVAL)
                return;  // shut down
            if (client < 0)
                continue;
            const timeval patience{2, 0};  // no client holds the server longer
            ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
            std::string request;
            char buffer[1024];
            ssize_t n = 0;
            while (request.find("\r\n\r\n") == std::string::npos &&
                   (n = ::read(client, buffer, sizeof buffer)) > 0)
                request.append(buffer, static_cast<std::size_t>(n));
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_ += request;
            }
            if (answer_.empty())
                n = ::read(client, buffer, 1);  // silent until the client gives up
            else
                n = ::write(client, answer_.data(), answer_.size());
            ::close(client);
        }
    }

    const std::string answer_;
    int listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::uint16_t port_ = 0;
    std::mutex mutex_;
    std::string requests_;
    std::thread thread_;
};

}  // namespace vgx::test
