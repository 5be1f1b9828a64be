#pragma once

#include <QObject>
#include <filesystem>

#include "service/channel_protocol.h"

namespace vgx {

class ChannelConnection;

// A face's end of the channel: connects to the copy that runs the watchdog in the program
// directory, receives its state and sends it commands.
class ChannelClient final : public QObject {
    Q_OBJECT
public:
    explicit ChannelClient(std::filesystem::path programDir, QObject* parent = nullptr);

    // True when connected, now or before; false when no running copy answers (none runs, it
    // runs as another user, or its queue is full).
    bool Connect();
    // Sends a command; nothing happens when not connected or for State.
    void Send(ChannelMessageType type);
    bool Connected() const { return connection_ != nullptr; }

signals:
    // Delivered from the event loop.
    void stateReceived(const vgx::RemoteState& state);
    // The running copy ended or closed this connection; Connected() is already false.
    void disconnected();

private:
    std::filesystem::path programDir_;
    ChannelConnection* connection_ = nullptr;
};

}  // namespace vgx
