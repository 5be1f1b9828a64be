#include "ui/channel/channel_connection.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace vgx {

namespace {

constexpr std::size_t kReadChunk = 16 * 1024;
// Reads per wake-up, so that a peer that writes without pause cannot hold the event loop.
constexpr int kReadsPerWake = 64;

}  // namespace

ChannelConnection::ChannelConnection(UniqueFd fd, End end,
                                     std::function<void(const ChannelMessage&)> onMessage,
                                     std::function<void(ChannelConnection*)> onClosed,
                                     QObject* parent)
    : QObject(parent),
      fd_(std::move(fd)),
      end_(end),
      onMessage_(std::move(onMessage)),
      onClosed_(std::move(onClosed)),
      reader_(new QSocketNotifier(fd_.get(), QSocketNotifier::Read, this)),
      writer_(new QSocketNotifier(fd_.get(), QSocketNotifier::Write, this)) {
    writer_->setEnabled(false);
    connect(reader_, &QSocketNotifier::activated, this, &ChannelConnection::ReadAvailable);
    connect(writer_, &QSocketNotifier::activated, this, &ChannelConnection::Flush);
}

ChannelConnection::~ChannelConnection() {
    // The notifiers (children) let go of the descriptor before it closes.
    reader_->setEnabled(false);
    writer_->setEnabled(false);
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
        }
        ended = r == ChannelDecoder::Result::Broken;
    }
    if (ended)
        Drop();
}

void ChannelConnection::Flush() {
    while (IsOpen() && !backlog_.empty()) {
        const ssize_t n = ::send(fd_.get(), backlog_.data(), backlog_.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n < 0) {
            Drop();
            return;
        }
        backlog_.erase(0, static_cast<std::size_t>(n));
    }
    if (backlog_.size() > kMaxBacklog) {
        Drop();
        return;
    }
    if (IsOpen())
        writer_->setEnabled(!backlog_.empty());
}

void ChannelConnection::Drop() {
    if (!IsOpen())
        return;
    // The notifiers let go of the descriptor before it closes; the peer sees the end at once.
    reader_->setEnabled(false);
    writer_->setEnabled(false);
    fd_.reset();
    backlog_.clear();
    backlog_.shrink_to_fit();
    deleteLater();
    if (onClosed_)
        onClosed_(this);
}

}  // namespace vgx
