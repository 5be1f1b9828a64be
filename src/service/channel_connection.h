#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "loop/event_loop.h"
#include "records/unique_fd.h"
#include "service/channel_protocol.h"

namespace vgx {

// One end of a channel connection on the loop: frames in through a decoder, frames out through
// a buffer that drains as the socket takes it. The connection closes on the peer's hang-up, on
// a frame that is broken or not meant for this end, and when the peer lets more than
// kMaxBacklog bytes pile up; it then tells its owner once (`onClosed`, from the loop), and the
// owner may destroy it there.
class ChannelConnection {
public:
    // Which messages this end takes: commands (the running copy) or states (a face).
    enum class End { RunningCopy, Face };
    static constexpr std::size_t kMaxBacklog = 1024 * 1024;

    ChannelConnection(EventLoop& loop, UniqueFd fd, End end,
                      std::function<void(const ChannelMessage&)> onMessage,
                      std::function<void()> onClosed);

    // Queues one whole frame.
    void Send(const std::string& frame);
    bool IsOpen() const { return fd_.get() >= 0; }

private:
    void Ready(unsigned events);
    void ReadAvailable();
    void Flush();
    void Close();

    EventLoop& loop_;
    UniqueFd fd_;
    End end_;
    std::function<void(const ChannelMessage&)> onMessage_;
    std::function<void()> onClosed_;
    LoopHandle watch_;
    bool writing_ = false;
    ChannelDecoder decoder_;
    std::string backlog_;
    LoopHandle closing_;
};

}  // namespace vgx
