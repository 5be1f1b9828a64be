#include "service/channel_connection.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace vgx {

namespace {

constexpr std::size_t kReadChunk = 16 * 1024;
// Reads per wake-up, so that a peer that writes without pause cannot hold the loop.
constexpr int kReadsPerWake = 64;

}  // namespace

ChannelConnection::ChannelConnection(EventLoop& loop, UniqueFd fd, End end,
                                     std::function<void(const ChannelMessage&)> onMessage,
                                     std::function<void()> onClosed)
    : loop_(loop),
      fd_(std::move(fd)),
      end_(end),
      onMessage_(std::move(onMessage)),
      onClosed_(std::move(onClosed)) {
    watch_ = loop_.Watch(fd_.get(), kFdRead, [this](unsigned events) { Ready(events); });
}

void ChannelConnection::Ready(unsigned events) {
    if ((events & kFdWrite) != 0)
        Flush();
    if ((events & kFdRead) != 0 && IsOpen())
        ReadAvailable();
}

void ChannelConnection::Send(const std::string& frame) {
    if (!IsOpen())
        return;
    backlog_ += frame;
    Flush();
}

void ChannelConnection::ReadAvailable() {
    bool ended = false;
    char buf[kReadChunk];
    for (int reads = 0; reads < kReadsPerWake && !ended && IsOpen(); ++reads) {
        const ssize_t n = ::read(fd_.get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n <= 0) {
            ended = true;
            break;
        }
        decoder_.Feed(std::string_view(buf, static_cast<std::size_t>(n)));
        ChannelMessage m;
        ChannelDecoder::Result r;
        while ((r = decoder_.Next(m)) == ChannelDecoder::Result::Message) {
            const bool wanted = end_ == End::RunningCopy ? IsChannelCommand(m.type)
                                                         : m.type == ChannelMessageType::State;
            if (!wanted) {
                r = ChannelDecoder::Result::Broken;
                break;
            }
            onMessage_(m);
            if (!IsOpen())
                return;
        }
        ended = r == ChannelDecoder::Result::Broken;
    }
    if (ended)
        Close();
}

void ChannelConnection::Flush() {
    while (IsOpen() && !backlog_.empty()) {
        const ssize_t n = ::send(fd_.get(), backlog_.data(), backlog_.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n < 0) {
            Close();
            return;
        }
        backlog_.erase(0, static_cast<std::size_t>(n));
    }
    if (backlog_.size() > kMaxBacklog) {
        Close();
        return;
    }
    // Watched for writing only while something waits to go.
    const bool want = IsOpen() && !backlog_.empty();
    if (IsOpen() && want != writing_) {
        writing_ = want;
        watch_.reset();  // one watch per descriptor at a time
        const unsigned watched = want ? kFdRead | kFdWrite : kFdRead;
        watch_ = loop_.Watch(fd_.get(), watched,
                             [this](unsigned events) { Ready(events); });
    }
}

void ChannelConnection::Close() {
    if (!IsOpen())
        return;
    // The watch goes before the descriptor; the peer sees the end at once. The owner hears of
    // it from the loop, so that it may destroy this connection then.
    watch_.reset();
    fd_.reset();
    backlog_.clear();
    backlog_.shrink_to_fit();
    closing_ = loop_.Next([this] {
        if (onClosed_)
            onClosed_();
    });
}

}  // namespace vgx
