#include "service/channel_server.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "service/channel_socket_linux.h"

namespace vgx {

namespace {

constexpr int kAcceptsPerWake = 16;
// Out of descriptors, the pending connection stays queued and would wake the loop at once.
constexpr std::chrono::seconds kAcceptPause{1};

std::optional<ino_t> SocketInode(const std::filesystem::path& file) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode))
        return std::nullopt;
    return st.st_ino;
}

}  // namespace

ChannelServer::ChannelServer(EventLoop& loop, const std::filesystem::path& programDir,
                             std::function<void(ChannelMessageType)> onCommand)
    : loop_(loop),
      programDir_(programDir),
      onCommand_(std::move(onCommand)),
      listener_(ListenChannel(programDir)) {
    if (!Listening())
        return;
    socketInode_ = SocketInode(programDir_ / kChannelSocketName).value_or(0);
    acceptor_ = loop_.Watch(listener_.get(), kFdRead, [this](unsigned) { Accept(); });
}

ChannelServer::~ChannelServer() {
    if (!Listening())
        return;
    acceptor_.reset();
    connections_.clear();
    // The socket file goes with the server, unless another has taken its name meanwhile.
    const std::filesystem::path file = programDir_ / kChannelSocketName;
    if (socketInode_ != 0 && SocketInode(file) == socketInode_)
        ::unlink(file.c_str());
}

void ChannelServer::Publish(const RemoteState& state) {
    if (last_ == state)
        return;
    last_ = state;
    lastFrame_ = EncodeChannelMessage({ChannelMessageType::State, state});
    for (const auto& c : connections_)
        c->Send(lastFrame_);
}

void ChannelServer::Accept() {
    for (int i = 0; i < kAcceptsPerWake; ++i) {
        UniqueFd fd(::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                acceptor_ = loop_.After(kAcceptPause, [this] {
                    acceptor_ =
                        loop_.Watch(listener_.get(), kFdRead, [this](unsigned) { Accept(); });
                });
            }
            return;
        }
        const auto peer = PeerUid(fd.get());
        if (!peer || !PeerAllowed(*peer) || Connections() >= kMaxFaces)
            continue;  // closed as it goes
        connections_.emplace_back();
        const auto it = std::prev(connections_.end());
        *it = std::make_unique<ChannelConnection>(
            loop_, std::move(fd), ChannelConnection::End::RunningCopy,
            [this](const ChannelMessage& m) {
                if (onCommand_)
                    onCommand_(m.type);
            },
            [this, it] { connections_.erase(it); });
        if (!lastFrame_.empty())
            (*it)->Send(lastFrame_);
    }
}

ChannelClient::ChannelClient(EventLoop& loop, std::filesystem::path programDir,
                             std::function<void(const RemoteState&)> onState,
                             std::function<void()> onDisconnected)
    : loop_(loop),
      programDir_(std::move(programDir)),
      onState_(std::move(onState)),
      onDisconnected_(std::move(onDisconnected)) {}

bool ChannelClient::Connect() {
    if (connection_)
        return true;
    UniqueFd fd = ConnectChannel(programDir_);
    if (!fd)
        return false;
    connection_ = std::make_unique<ChannelConnection>(
        loop_, std::move(fd), ChannelConnection::End::Face,
        [this](const ChannelMessage& m) {
            if (onState_)
                onState_(m.state);
        },
        [this] {
            connection_.reset();
            if (onDisconnected_)
                onDisconnected_();
        });
    return true;
}

void ChannelClient::Send(ChannelMessageType type) {
    if (connection_ && IsChannelCommand(type))
        connection_->Send(EncodeChannelMessage({type, {}}));
}

}  // namespace vgx
