#include "ui/channel/channel_client.h"

#include "service/channel_socket_linux.h"
#include "ui/channel/channel_connection.h"

namespace vgx {

ChannelClient::ChannelClient(std::filesystem::path programDir, QObject* parent)
    : QObject(parent), programDir_(std::move(programDir)) {}

bool ChannelClient::Connect() {
    if (connection_)
        return true;
    UniqueFd fd = ConnectChannel(programDir_);
    if (!fd)
        return false;
    connection_ = new ChannelConnection(
        std::move(fd), ChannelConnection::End::Face,
        [this](const ChannelMessage& m) {
            QMetaObject::invokeMethod(
                this, [this, state = m.state] { emit stateReceived(state); }, Qt::QueuedConnection);
        },
        [this](ChannelConnection*) {
            connection_ = nullptr;
            QMetaObject::invokeMethod(this, &ChannelClient::disconnected, Qt::QueuedConnection);
        },
        this);
    return true;
}

void ChannelClient::Send(ChannelMessageType type) {
    if (connection_ && IsChannelCommand(type))
        connection_->Send(EncodeChannelMessage({type, {}}));
}

}  // namespace vgx
