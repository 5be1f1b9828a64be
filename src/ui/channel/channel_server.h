#pragma once

#include <sys/types.h>

#include <QObject>
#include <QSocketNotifier>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "records/unique_fd.h"
#include "service/channel_protocol.h"

namespace vgx {

class ChannelConnection;

// The running copy's end of the channel: listens on the program directory's socket (see
// ListenChannel, which only the holder of the instance lock may call), takes faces of this
// user or root, sends them the watchdog's state and hands their commands on. A face that breaks
// the protocol or does not read what it is sent loses its own connection and nothing else.
class ChannelServer final : public QObject {
    Q_OBJECT
public:
    // Faces connected at once; a connection beyond them is closed as it is accepted, so that a
    // crowd of idle connections cannot use up the copy's descriptors.
    static constexpr int kMaxFaces = 8;

    explicit ChannelServer(const std::filesystem::path& programDir, QObject* parent = nullptr);
    ~ChannelServer() override;

    // False when the socket could not be made; the copy then runs without faces.
    bool Listening() const { return listener_.get() >= 0; }
    // Sends the state to every face, and to each new face as it connects. A state equal to the
    // last one sends nothing.
    void Publish(const RemoteState& state);
    int Connections() const { return static_cast<int>(connections_.size()); }

signals:
    // A face's command, delivered from the event loop.
    void commandReceived(vgx::ChannelMessageType type);

private:
    void Accept();

    std::filesystem::path programDir_;
    UniqueFd listener_;
    ino_t socketInode_ = 0;
    QSocketNotifier* acceptor_ = nullptr;
    std::vector<ChannelConnection*> connections_;
    std::optional<RemoteState> last_;
    std::string lastFrame_;
};

}  // namespace vgx
