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

#include "probes/echo_packet.h"
#include "probes/icmp_methods.h"
#include "records/unique_fd.h"

namespace vgx {

namespace {

using Steady = std::chrono::steady_clock;

bool IsPermissionError(int err) {
    return err == EACCES || err == EPERM;
}

sockaddr_in SocketAddress(std::uint32_t target) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = target;
    return to;
}

std::uint32_t ElapsedMs(Steady::time_point start) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start);
    return static_cast<std::uint32_t>(ms.count());
}

// Milliseconds left until the deadline, rounded up so that poll never wakes early; -1 if none.
int MsLeft(Steady::time_point deadline) {
    const auto left = deadline - Steady::now();
    if (left <= Steady::duration::zero())
        return -1;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left);
    return static_cast<int>(ms.count());
}

bool SendRequest(int fd, std::uint32_t target, const std::vector<std::uint8_t>& packet,
                 EchoResult& result) {
    const sockaddr_in to = SocketAddress(target);
    const ssize_t sent = ::sendto(fd, packet.data(), packet.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent == static_cast<ssize_t>(packet.size()))
        return true;
    result.status = sent < 0 ? StatusForSendErrno(errno) : kEchoGeneralFailure;
    return false;
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

// Receives until our answer arrives or the deadline passes; unrelated packets are skipped.
EchoResult AwaitAnswer(int fd, const EchoRequestKey& key, PacketFormat format,
                       Steady::time_point start, Steady::time_point deadline) {
    std::array<std::uint8_t, 65536> buffer{};
    for (int wait = MsLeft(deadline); wait >= 0; wait = MsLeft(deadline)) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, wait);
        if (ready < 0 && errno != EINTR)
            return {kEchoGeneralFailure, 0, {}};
        if (ready <= 0)
            continue;
        if ((p.revents & POLLERR) != 0) {
            if (const auto status = ReadQueuedError(fd, key))
                return {*status, 0, {}};
        }
        if ((p.revents & POLLIN) == 0)
            continue;
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t n = ::recvfrom(fd, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (n <= 0)
            continue;
        const EchoMatch match = MatchEchoPacket(
            std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(n)),
            from.sin_addr.s_addr, key, format);
        if (match.kind == EchoMatch::Kind::kReply)
            return {kEchoSuccess, ElapsedMs(start), {}};
        if (match.kind == EchoMatch::Kind::kError)
            return {match.status, 0, {}};
    }
    return {kEchoTimedOut, 0, {}};
}

}  // namespace

std::optional<EchoResult> DatagramEcho(std::uint32_t target, std::string_view payload,
                                       std::chrono::milliseconds timeout, std::uint16_t sequence) {
    const UniqueFd s(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP));
    if (!s) {
        if (IsPermissionError(errno) || errno == EPROTONOSUPPORT)
            return std::nullopt;
        return EchoResult{kEchoGeneralFailure, 0, {}};
    }
    const int on = 1;
    ::setsockopt(s.get(), SOL_IP, IP_RECVERR, &on, sizeof on);
    // The kernel sets the identifier and the checksum and delivers only replies carrying it.
    const EchoRequestKey key{target, 0, sequence, false};
    EchoResult result;
    const auto start = Steady::now();
    if (!SendRequest(s.get(), target, BuildEchoRequest(0, sequence, payload), result)) {
        return result;
    }
    return AwaitAnswer(s.get(), key, PacketFormat::kIcmpOnly, start, start + timeout);
}

std::optional<EchoResult> RawEcho(std::uint32_t target, std::string_view payload,
                                  std::chrono::milliseconds timeout, std::uint16_t identifier,
                                  std::uint16_t sequence) {
    const UniqueFd s(::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP));
    if (!s) {
        if (IsPermissionError(errno))
            return std::nullopt;
        return EchoResult{kEchoGeneralFailure, 0, {}};
    }
    // Let through only echo replies and the errors that may quote our request.
    icmp_filter filter{};
    filter.data =
        ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) | (1U << ICMP_SOURCE_QUENCH) |
          (1U << ICMP_TIME_EXCEEDED) | (1U << ICMP_PARAMETERPROB));
    ::setsockopt(s.get(), SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
    const EchoRequestKey key{target, identifier, sequence, true};
    EchoResult result;
    const auto start = Steady::now();
    if (!SendRequest(s.get(), target, BuildEchoRequest(identifier, sequence, payload), result)) {
        return result;
    }
    return AwaitAnswer(s.get(), key, PacketFormat::kWithIpHeader, start, start + timeout);
}

}  // namespace vgx
