#include "service/channel_socket_linux.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace vgx {

namespace {

constexpr int kBacklog = 8;

// The program directory, held open so that the socket's address is short whatever its path:
// "/proc/self/fd/<fd>/vigiax.sock" fits sun_path where the directory's own path might not.
struct ChannelAddress {
    UniqueFd dir;
    sockaddr_un addr{};
};

std::optional<ChannelAddress> AddressIn(const std::filesystem::path& programDir) {
    ChannelAddress a;
    a.dir.reset(::open(programDir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!a.dir)
        return std::nullopt;
    const std::string path =
        "/proc/self/fd/" + std::to_string(a.dir.get()) + "/" + kChannelSocketName;
    a.addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof a.addr.sun_path)
        return std::nullopt;
    path.copy(a.addr.sun_path, path.size());
    return a;
}

const sockaddr* AsSockaddr(const sockaddr_un& addr) {
    return reinterpret_cast<const sockaddr*>(&addr);
}

// Frees the name of a socket file left behind; false when something else holds it.
bool ClearStaleSocket(int dirFd) {
    struct stat st {};
    if (::fstatat(dirFd, kChannelSocketName, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    return S_ISSOCK(st.st_mode) && ::unlinkat(dirFd, kChannelSocketName, 0) == 0;
}

}  // namespace

UniqueFd ListenChannel(const std::filesystem::path& programDir) {
    auto a = AddressIn(programDir);
    if (!a || !ClearStaleSocket(a->dir.get()))
        return UniqueFd();
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd || ::bind(fd.get(), AsSockaddr(a->addr), sizeof a->addr) != 0)
        return UniqueFd();
    // Nobody can connect before listen, so the mode is right before it matters. The call does
    // not follow a link put in the socket's place meanwhile.
    if (::fchmodat(a->dir.get(), kChannelSocketName, 0600, AT_SYMLINK_NOFOLLOW) != 0 ||
        ::listen(fd.get(), kBacklog) != 0) {
        ::unlinkat(a->dir.get(), kChannelSocketName, 0);
        return UniqueFd();
    }
    return fd;
}

UniqueFd ConnectChannel(const std::filesystem::path& programDir) {
    const auto a = AddressIn(programDir);
    if (!a)
        return UniqueFd();
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd)
        return UniqueFd();
    const bool connected = ::connect(fd.get(), AsSockaddr(a->addr), sizeof a->addr) == 0;
    const auto peer = connected ? PeerUid(fd.get()) : std::nullopt;
    if (!peer || !PeerAllowed(*peer))
        return UniqueFd();
    return fd;
}

std::optional<uid_t> PeerUid(int fd) {
    ucred cred{};
    socklen_t len = sizeof cred;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || len != sizeof cred)
        return std::nullopt;
    return cred.uid;
}

bool PeerAllowed(uid_t peer) {
    return peer == ::geteuid() || peer == 0;
}

}  // namespace vgx
