#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <cstddef>
#include <functional>
#include <string>

#include "records/unique_fd.h"
#include "service/channel_protocol.h"

namespace vgx {

// One end of a channel connection on the event loop: frames in through a decoder, frames out
// through a buffer that drains as the socket takes it. The connection closes itself on the
// peer's hang-up, on a frame that is broken or not meant for this end, and when the peer lets
// more than kMaxBacklog bytes pile up; it then tells its owner once and deletes itself later,
// so that it may close from inside any of its own calls.
class ChannelConnection final : public QObject {
public:
    // Which messages this end takes: commands (the running copy) or states (a face).
    enum class End { RunningCopy, Face };
    static constexpr std::size_t kMaxBacklog = 1024 * 1024;

    // `onMessage` is called from inside the connection's reading: it must not call back in.
    ChannelConnection(UniqueFd fd, End end, std::function<void(const ChannelMessage&)> onMessage,
                      std::function<void(ChannelConnection*)> onClosed, QObject* parent);
    ~ChannelConnection() override;

    // Queues one whole frame.
    void Send(const std::string& frame);
    bool IsOpen() const { return fd_.get() >= 0; }

private:
    void ReadAvailable();
    void Flush();
    void Drop();

    UniqueFd fd_;
    End end_;
    std::function<void(const ChannelMessage&)> onMessage_;
    std::function<void(ChannelConnection*)> onClosed_;
    QSocketNotifier* reader_;
    QSocketNotifier* writer_;
    ChannelDecoder decoder_;
    std::string backlog_;
};

}  // namespace vgx
