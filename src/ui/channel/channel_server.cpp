#include "ui/channel/channel_server.h"

#include <sys/socket.h>
#include <sys/stat.h>

#include <QTimer>
#include <algorithm>
#include <cerrno>

#include "service/channel_socket_linux.h"
#include "ui/channel/channel_connection.h"

namespace vgx {

namespace {

constexpr int kAcceptsPerWake = 16;
// Out of descriptors, the pending connection stays queued and would wake the loop at once.
constexpr int kAcceptPauseMs = 1000;

std::optional<ino_t> SocketInode(const std::filesystem::path& file) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode))
        return std::nullopt;
    return st.st_ino;
}

}  // namespace

ChannelServer::ChannelServer(const std::filesystem::path& programDir, QObject* parent)
    : QObject(parent), programDir_(programDir), listener_(ListenChannel(programDir)) {
    if (!Listening())
        return;
    socketInode_ = SocketInode(programDir_ / kChannelSocketName).value_or(0);
    acceptor_ = new QSocketNotifier(listener_.get(), QSocketNotifier::Read, this);
    connect(acceptor_, &QSocketNotifier::activated, this, &ChannelServer::Accept);
}

ChannelServer::~ChannelServer() {
    if (!Listening())
        return;
    acceptor_->setEnabled(false);
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
    // A face dropped on the way leaves the list; the copy keeps the others.
    for (ChannelConnection* c : std::vector(connections_))
        c->Send(lastFrame_);
}

void ChannelServer::Accept() {
    for (int i = 0; i < kAcceptsPerWake; ++i) {
        UniqueFd fd(::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                acceptor_->setEnabled(false);
                QTimer::singleShot(kAcceptPauseMs, this, [this] { acceptor_->setEnabled(true); });
            }
            return;
        }
        const auto peer = PeerUid(fd.get());
        if (!peer || !PeerAllowed(*peer) || Connections() >= kMaxFaces)
            continue;  // closed as it goes
        auto* c = new ChannelConnection(
            std::move(fd), ChannelConnection::End::RunningCopy,
            [this](const ChannelMessage& m) {
                QMetaObject::invokeMethod(
                    this, [this, type = m.type] { emit commandReceived(type); },
                    Qt::QueuedConnection);
            },
            [this](ChannelConnection* gone) { std::erase(connections_, gone); }, this);
        connections_.push_back(c);
        if (!lastFrame_.empty())
            c->Send(lastFrame_);
    }
}

}  // namespace vgx
