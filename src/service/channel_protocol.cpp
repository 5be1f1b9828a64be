#include "service/channel_protocol.h"

#include <bit>
#include <cmath>
#include <optional>

namespace vgx {

namespace {

constexpr std::size_t kLengthBytes = 4;

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The last `limit` bytes at most, starting on a character.
std::string_view Tail(std::string_view s, std::size_t limit) {
    if (s.size() <= limit)
        return s;
    std::size_t start = s.size() - limit;
    while (start < s.size() && IsContinuationByte(s[start]))
        ++start;
    return s.substr(start);
}

// The first `limit` bytes at most, ending before a character.
std::string_view Head(std::string_view s, std::size_t limit) {
    if (s.size() <= limit)
        return s;
    std::size_t end = limit;
    while (end > 0 && IsContinuationByte(s[end]))
        --end;
    return s.substr(0, end);
}

void PutU32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void PutU8(std::string& out, unsigned v) {
    out.push_back(static_cast<char>(v & 0xFF));
}

void PutBytes(std::string& out, std::string_view bytes) {
    PutU32(out, static_cast<std::uint32_t>(bytes.size()));
    out.append(bytes);
}

std::uint32_t GetU32(std::string_view s) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < kLengthBytes; ++i)
        v = (v << 8) | static_cast<unsigned char>(s[i]);
    return v;
}

bool ValidCount(float v) {
    return std::isfinite(v) && !std::signbit(v);
}

// Reads the fields of one frame; every read fails rather than go past its end.
class FieldReader {
public:
    explicit FieldReader(std::string_view frame) : rest_(frame) {}

    std::optional<unsigned> U8() {
        if (rest_.empty())
            return std::nullopt;
        const auto v = static_cast<unsigned char>(rest_.front());
        rest_.remove_prefix(1);
        return v;
    }
    std::optional<std::uint32_t> U32() {
        if (rest_.size() < kLengthBytes)
            return std::nullopt;
        const std::uint32_t v = GetU32(rest_);
        rest_.remove_prefix(kLengthBytes);
        return v;
    }
    std::optional<bool> Bool() {
        const auto v = U8();
        if (!v || *v > 1)
            return std::nullopt;
        return *v == 1;
    }
    std::optional<std::string> Bytes(std::size_t limit) {
        const auto n = U32();
        if (!n || *n > limit || *n > rest_.size())
            return std::nullopt;
        std::string v(rest_.substr(0, *n));
        rest_.remove_prefix(*n);
        return v;
    }
    bool AtEnd() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

bool ReadState(FieldReader& r, RemoteState& s) {
    const auto colours = r.U8();
    const auto picture = r.U8();
    const auto paused = r.Bool();
    const auto counting = r.Bool();
    const auto counter = r.U8();
    const auto countBits = r.U32();
    if (!colours || *colours > static_cast<unsigned>(ReportColours::Alarm) || !picture ||
        *picture < kTrayNormal || *picture > kTrayPaused || !paused || !counting || !counter ||
        !countBits)
        return false;
    const auto count = std::bit_cast<float>(*countBits);
    if (!ValidCount(count))
        return false;
    auto label = r.Bytes(kChannelMaxLabel);
    auto report = r.Bytes(kChannelMaxReport);
    if (!label || !report)
        return false;
    s.colours = static_cast<ReportColours>(*colours);
    s.trayPicture = static_cast<int>(*picture);
    s.paused = *paused;
    s.warningCounting = *counting;
    s.warningCounter = static_cast<std::uint8_t>(*counter);
    s.nfalhas = count;
    s.failureLabel = std::move(*label);
    s.text1 = std::move(*report);
    return true;
}

bool KnownType(unsigned type) {
    return type >= static_cast<unsigned>(ChannelMessageType::State) &&
           type <= static_cast<unsigned>(ChannelMessageType::CancelRestart);
}

}  // namespace

std::string EncodeChannelMessage(const ChannelMessage& m) {
    std::string body;
    PutU8(body, kChannelVersion);
    PutU8(body, static_cast<unsigned>(m.type));
    if (m.type == ChannelMessageType::State) {
        const RemoteState& s = m.state;
        const bool knownColours =
            s.colours >= ReportColours::Normal && s.colours <= ReportColours::Alarm;
        const bool knownPicture = s.trayPicture >= kTrayNormal && s.trayPicture <= kTrayPaused;
        PutU8(body, static_cast<unsigned>(knownColours ? s.colours : ReportColours::Normal));
        PutU8(body, static_cast<unsigned>(knownPicture ? s.trayPicture : kTrayNormal));
        PutU8(body, s.paused ? 1 : 0);
        PutU8(body, s.warningCounting ? 1 : 0);
        PutU8(body, s.warningCounter);
        PutU32(body, std::bit_cast<std::uint32_t>(ValidCount(s.nfalhas) ? s.nfalhas : 0.0f));
        PutBytes(body, Head(s.failureLabel, kChannelMaxLabel));
        PutBytes(body, Tail(s.text1, kChannelMaxReport));
    }
    std::string frame;
    frame.reserve(kLengthBytes + body.size());
    PutU32(frame, static_cast<std::uint32_t>(body.size()));
    frame += body;
    return frame;
}

void ChannelDecoder::Feed(std::string_view bytes) {
    if (!broken_)
        buffer_.append(bytes);
}

ChannelDecoder::Result ChannelDecoder::Next(ChannelMessage& out) {
    if (broken_)
        return Result::Broken;
    const std::string_view buffered(buffer_);
    // The length, version and type are judged as soon as they are in, so that a peer sending
    // garbage is known before the frame it claims to send.
    if (buffered.size() < kLengthBytes)
        return Result::NeedMore;
    const std::uint32_t length = GetU32(buffered);
    const bool lengthFits = length >= 2 && length <= kChannelMaxFrame - kLengthBytes;
    const bool versionFits = buffered.size() <= kLengthBytes ||
                             static_cast<unsigned char>(buffered[kLengthBytes]) == kChannelVersion;
    const bool typeFits = buffered.size() <= kLengthBytes + 1 ||
                          KnownType(static_cast<unsigned char>(buffered[kLengthBytes + 1]));
    if (!lengthFits || !versionFits || !typeFits) {
        broken_ = true;
        buffer_.clear();
        return Result::Broken;
    }
    if (buffered.size() < kLengthBytes + length)
        return Result::NeedMore;

    FieldReader reader(buffered.substr(kLengthBytes + 2, length - 2));
    ChannelMessage m;
    m.type = static_cast<ChannelMessageType>(buffered[kLengthBytes + 1]);
    if ((m.type == ChannelMessageType::State && !ReadState(reader, m.state)) || !reader.AtEnd()) {
        broken_ = true;
        buffer_.clear();
        return Result::Broken;
    }
    buffer_.erase(0, kLengthBytes + length);
    out = std::move(m);
    return Result::Message;
}

}  // namespace vgx
