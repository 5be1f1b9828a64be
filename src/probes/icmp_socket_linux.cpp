// Echo over an ICMP datagram socket (net.ipv4.ping_group_range) or a raw socket (CAP_NET_RAW).
#include <time.h>  // struct timespec, which linux/errqueue.h needs first

#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include "probes/echo_packet.h"
#include "probes/icmp_methods.h"
#include "records/unique_fd.h"

namespace vgx {

namespace {

bool IsPermissionError(int err) {
    return err == EACCES || err == EPERM;
}

sockaddr_in SocketAddress(std::uint32_t target) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = target;
    return to;
}

std::uint32_t ElapsedMs(MonoTime start) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(MonoClock::now() - start);
    return static_cast<std::uint32_t>(ms.count());
}

// An error queued on a datagram socket for our request: the status, or nullopt if unrelated.
std::optional<std::int32_t> ReadQueuedError(int fd, const EchoRequestKey& key) {
    std::array<std::uint8_t, 2048> data{};
    std::array<char, 512> control{};
    sockaddr_in from{};
    iovec iov{data.data(), data.size()};
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control.data();
    msg.msg_controllen = control.size();
    const ssize_t n = ::recvmsg(fd, &msg, MSG_ERRQUEUE | MSG_DONTWAIT);
    if (n < 0) {
        // A pending error without a queued message: clear it so that poll stops reporting it.
        int pending = 0;
        socklen_t length = sizeof pending;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &pending, &length);
        return std::nullopt;
    }
    const std::span<const std::uint8_t> quoted(data.data(), static_cast<std::size_t>(n));
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level != SOL_IP || c->cmsg_type != IP_RECVERR)
            continue;
        sock_extended_err err{};
        std::memcpy(&err, CMSG_DATA(c), sizeof err);
        if (!IsOurEchoRequest(quoted, key))
            return std::nullopt;
        if (err.ee_origin == SO_EE_ORIGIN_ICMP)
            return StatusForIcmpError(err.ee_type, err.ee_code);
        return StatusForSendErrno(static_cast<int>(err.ee_errno));
    }
    return std::nullopt;
}

// One request on a non-blocking socket: its answer, an error quoting it or the timeout ends it.
class SocketEcho final : public LoopRegistration {
public:
    SocketEcho(EventLoop& loop, UniqueFd socket, const EchoRequestKey& key, PacketFormat format,
               MethodDone done)
        : loop_(loop),
          socket_(std::move(socket)),
          key_(key),
          format_(format),
          done_(std::move(done)) {}

    void Send(const std::vector<std::uint8_t>& packet, std::chrono::milliseconds timeout) {
        const sockaddr_in to = SocketAddress(key_.target);
        start_ = MonoClock::now();
        const ssize_t sent = ::sendto(socket_.get(), packet.data(), packet.size(), 0,
                                      reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (sent != static_cast<ssize_t>(packet.size())) {
            const std::int32_t status = sent < 0 ? StatusForSendErrno(errno) : kEchoGeneralFailure;
            timer_ = loop_.Next([this, status] { Finish({status, 0, {}}); });
            return;
        }
        watch_ = loop_.Watch(socket_.get(), kFdRead, [this](unsigned) { Receive(); });
        timer_ = loop_.After(timeout, [this] { Finish({kEchoTimedOut, 0, {}}); });
    }

private:
    // Reads what is there without waiting; unrelated packets are skipped. A bounded number per
    // wake-up, so that a flood of foreign ICMP cannot hold the loop.
    void Receive() {
        std::array<std::uint8_t, 65536> buffer{};
        for (int i = 0; i < 64; ++i) {
            pollfd p{socket_.get(), POLLIN, 0};
            if (::poll(&p, 1, 0) <= 0)
                return;
            if ((p.revents & POLLERR) != 0) {
                if (const auto status = ReadQueuedError(socket_.get(), key_))
                    return Finish({*status, 0, {}});
            }
            if ((p.revents & POLLIN) == 0)
                continue;
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            const ssize_t n = ::recvfrom(socket_.get(), buffer.data(), buffer.size(), MSG_DONTWAIT,
                                         reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (n <= 0)
                continue;
            const EchoMatch match = MatchEchoPacket(
                std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(n)),
                from.sin_addr.s_addr, key_, format_);
            if (match.kind == EchoMatch::Kind::kReply)
                return Finish({kEchoSuccess, ElapsedMs(start_), {}});
            if (match.kind == EchoMatch::Kind::kError)
                return Finish({match.status, 0, {}});
        }
    }

    // Told once; `done` may drop this echo.
    void Finish(EchoResult result) {
        watch_.reset();
        timer_.reset();
        auto done = std::move(done_);
        done(std::move(result));
    }

    EventLoop& loop_;
    UniqueFd socket_;
    EchoRequestKey key_;
    PacketFormat format_;
    MethodDone done_;
    MonoTime start_;
    LoopHandle watch_;
    LoopHandle timer_;
};

// What an echo whose socket could not be opened ends with: nullopt when this process may not
// open it.
std::optional<EchoResult> OpenFailure(int err, bool datagram) {
    if (IsPermissionError(err) || (datagram && err == EPROTONOSUPPORT))
        return std::nullopt;
    return EchoFailure(err);
}

}  // namespace

LoopHandle DatagramEcho(EventLoop& loop, std::uint32_t target, std::string_view payload,
                        std::chrono::milliseconds timeout, std::uint16_t sequence,
                        MethodDone done) {
    UniqueFd s(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_ICMP));
    if (!s) {
        const int err = errno;
        return DeliverLater(loop, OpenFailure(err, true), std::move(done));
    }
    const int on = 1;
    ::setsockopt(s.get(), SOL_IP, IP_RECVERR, &on, sizeof on);
    // The kernel sets the identifier and the checksum and delivers only replies carrying it.
    const EchoRequestKey key{target, 0, sequence, false};
    auto echo = std::make_unique<SocketEcho>(loop, std::move(s), key, PacketFormat::kIcmpOnly,
                                             std::move(done));
    echo->Send(BuildEchoRequest(0, sequence, payload), timeout);
    return echo;
}

LoopHandle RawEcho(EventLoop& loop, std::uint32_t target, std::string_view payload,
                   std::chrono::milliseconds timeout, std::uint16_t identifier,
                   std::uint16_t sequence, MethodDone done) {
    UniqueFd s(::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_ICMP));
    if (!s) {
        const int err = errno;
        return DeliverLater(loop, OpenFailure(err, false), std::move(done));
    }
    // Let through only echo replies and the errors that may quote our request.
    icmp_filter filter{};
    filter.data =
        ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) | (1U << ICMP_SOURCE_QUENCH) |
          (1U << ICMP_TIME_EXCEEDED) | (1U << ICMP_PARAMETERPROB));
    ::setsockopt(s.get(), SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
    const EchoRequestKey key{target, identifier, sequence, true};
    auto echo = std::make_unique<SocketEcho>(loop, std::move(s), key, PacketFormat::kWithIpHeader,
                                             std::move(done));
    echo->Send(BuildEchoRequest(identifier, sequence, payload), timeout);
    return echo;
}

}  // namespace vgx
