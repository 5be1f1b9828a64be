#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>

#include "loop/event_loop.h"
#include "records/unique_fd.h"
#include "service/channel_connection.h"
#include "service/channel_protocol.h"

namespace vgx {

// The running copy's end of the channel: listens on the program directory's socket (see
// ListenChannel, which only the holder of the instance lock may call), takes faces of this
// user or root, sends them the watchdog's state and hands their commands on. A face that breaks
// the protocol or does not read what it is sent loses its own connection and nothing else.
class ChannelServer {
public:
    // Faces connected at once; a connection beyond them is closed as it is accepted, so that a
    // crowd of idle connections cannot use up the copy's descriptors.
    static constexpr int kMaxFaces = 8;

    ChannelServer(EventLoop& loop, const std::filesystem::path& programDir,
                  std::function<void(ChannelMessageType)> onCommand);
    ~ChannelServer();
    ChannelServer(const ChannelServer&) = delete;
    ChannelServer& operator=(const ChannelServer&) = delete;

    // False when the socket could not be made; the copy then runs without faces.
    bool Listening() const { return listener_.get() >= 0; }
    // Sends the state to every face, and to each new face as it connects. A state equal to the
    // last one sends nothing.
    void Publish(const RemoteState& state);
    int Connections() const { return static_cast<int>(connections_.size()); }

private:
    void Accept();

    EventLoop& loop_;
    std::filesystem::path programDir_;
    std::function<void(ChannelMessageType)> onCommand_;
    UniqueFd listener_;
    ino_t socketInode_ = 0;
    LoopHandle acceptor_;
    std::list<std::unique_ptr<ChannelConnection>> connections_;
    std::optional<RemoteState> last_;
    std::string lastFrame_;
};

// A face's end of the channel: connects to the copy that runs the watchdog in the program
// directory, receives its state and sends it commands.
class ChannelClient {
public:
    ChannelClient(EventLoop& loop, std::filesystem::path programDir,
                  std::function<void(const RemoteState&)> onState,
                  std::function<void()> onDisconnected);

    // True when connected, now or before; false when no running copy answers (none runs, it
    // runs as another user, or its queue is full).
    bool Connect();
    // Sends a command; nothing happens when not connected or for State.
    void Send(ChannelMessageType type);
    bool Connected() const { return connection_ != nullptr; }

private:
    EventLoop& loop_;
    std::filesystem::path programDir_;
    std::function<void(const RemoteState&)> onState_;
    std::function<void()> onDisconnected_;
    std::unique_ptr<ChannelConnection> connection_;
};

}  // namespace vgx
