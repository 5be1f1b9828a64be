// The channel between the running copy and its faces: its frames, and its socket file in
// temporary program directories.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <vector>

#include "service/channel_protocol.h"
#include "service/channel_socket_linux.h"
#include "support/temp_dir.h"

namespace vgx {

// Messages in failures: their type and label, not their bytes.
void PrintTo(const ChannelMessage& m, std::ostream* os) {
    *os << "type " << static_cast<int>(m.type);
    if (m.type == ChannelMessageType::State)
        *os << ", " << m.state.failureLabel << ", " << m.state.text1.size() << " bytes of report";
}

namespace test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Result = ChannelDecoder::Result;

const RemoteState kSample{
    .text1 = "INICIOU O SISTEMA\r\nFALHA ENDEREÇO: 127.0.0.9\r\nAção: Reiniciar Computador\r\n",
    .failureLabel = "FALHAS: 3",
    .colours = ReportColours::Alarm,
    .trayPicture = kTrayNearLimit,
    .nfalhas = 3,
    .warningCounting = true,
    .warningCounter = 7};

struct Decoded {
    std::vector<ChannelMessage> messages;
    Result last = Result::NeedMore;
};

// Feeds `bytes` in pieces of `piece` bytes, taking every message as it comes.
Decoded Decode(std::string_view bytes, std::size_t piece = 1 << 20) {
    ChannelDecoder decoder;
    Decoded d;
    for (std::size_t at = 0; at < bytes.size() && d.last != Result::Broken; at += piece) {
        decoder.Feed(bytes.substr(at, piece));
        ChannelMessage m;
        while ((d.last = decoder.Next(m)) == Result::Message)
            d.messages.push_back(m);
    }
    return d;
}

std::string U32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

std::string Frame(const std::string& body) {
    return U32(static_cast<std::uint32_t>(body.size())) + body;
}

// A State frame from its raw fields: colours, picture, paused, counting, counter, count; an
// empty label.
std::string StateFrame(std::string fixed, float count = 1, const std::string& text = "") {
    return Frame("\x01\x01" + fixed + U32(std::bit_cast<std::uint32_t>(count)) + U32(0) +
                 U32(static_cast<std::uint32_t>(text.size())) + text);
}

const std::string kFixed("\x02\x0b\x00\x01\x07", 5);

TEST(ChannelProtocol, EveryMessageComesBackWholeInOnePieceOrByteByByte) {
    std::vector<ChannelMessage> sent = {{ChannelMessageType::State, kSample},
                                        {ChannelMessageType::State, RemoteState{}}};
    for (int t = 2; t <= 6; ++t)
        sent.push_back({static_cast<ChannelMessageType>(t), {}});
    std::string stream;
    for (const ChannelMessage& m : sent)
        stream += EncodeChannelMessage(m);

    EXPECT_EQ(stream.substr(0, 6 + 5), U32(105) + "\x01\x01" + kFixed);
    for (const std::size_t piece : {stream.size(), std::size_t{1}}) {
        const Decoded d = Decode(stream, piece);
        EXPECT_THAT(d.messages, ElementsAreArray(sent));
        EXPECT_EQ(d.last, Result::NeedMore);
    }
}

TEST(ChannelProtocol, LongTextsAreCutToTheirLimitsOnACharacter) {
    RemoteState s = kSample;
    // 18002 bytes; the last 16 KiB would start inside an "é".
    s.text1 = "X";
    for (int i = 0; i < 9000; ++i)
        s.text1 += "é";
    s.text1 += "Z";
    s.failureLabel = "FALHAS: " + std::string(300, '9');
    const std::string frame = EncodeChannelMessage({ChannelMessageType::State, s});
    EXPECT_LE(frame.size(), kChannelMaxFrame);

    const Decoded d = Decode(frame);
    ASSERT_EQ(d.messages.size(), 1u);
    const std::string& text = d.messages[0].state.text1;
    EXPECT_EQ(text.size(), kChannelMaxReport - 1);
    EXPECT_TRUE(s.text1.ends_with(text));
    EXPECT_EQ(d.messages[0].state.failureLabel, s.failureLabel.substr(0, kChannelMaxLabel));
}

TEST(ChannelProtocol, AMalformedStreamBreaksForGoodAfterTheMessagesBeforeIt) {
    const ChannelMessage jobsSaved{ChannelMessageType::JobsSaved, {}};
    const std::string good = EncodeChannelMessage(jobsSaved);
    const std::string state = EncodeChannelMessage({ChannelMessageType::State, kSample});
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"truncated, then garbage", state.substr(0, 20) + std::string(200, '\xff')},
        {"over 64 KiB, known from its length", U32(kChannelMaxFrame - 3)},
        {"shorter than version and type", U32(1) + "\x01"},
        {"wrong version", Frame("\x02\x02")},
        {"type 0", Frame(std::string("\x01\x00", 2))},
        {"type 7", Frame("\x01\x07")},
        {"a field longer than its frame",
         Frame("\x01\x01" + kFixed + U32(0) + U32(1000) + "FALHAS")},
        {"bytes after the last field", Frame(std::string("\x01\x04\x00", 3))},
        {"unknown colours", StateFrame("\x03" + kFixed.substr(1))},
        {"unknown picture", StateFrame(std::string("\x00\x08\x00\x00\x00", 5))},
        {"neither true nor false", StateFrame(std::string("\x00\x09\x02\x00\x00", 5))},
        {"count not a number", StateFrame(kFixed, NAN)},
        {"negative count", StateFrame(kFixed, -0.0f)},
        {"report over 16 KiB", StateFrame(kFixed, 1, std::string(kChannelMaxReport + 1, 'x'))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded d = Decode(good + c.bytes + good + good);
        EXPECT_THAT(d.messages, ElementsAre(jobsSaved));
        EXPECT_EQ(d.last, Result::Broken);
    }
}

TEST(ChannelSocket, ConnectsInADirectoryOfAnyLengthAndKnowsThePeer) {
    TempDir top;
    std::filesystem::path dir = top.path();
    while (dir.string().size() <= 2 * 108)
        dir /= "a-folder-with-a-rather-long-name";
    std::filesystem::create_directories(dir);
    EXPECT_FALSE(ConnectChannel(dir));

    const UniqueFd listener = ListenChannel(dir);
    ASSERT_TRUE(listener);
    const UniqueFd face = ConnectChannel(dir);
    ASSERT_TRUE(face);
    const UniqueFd accepted(::accept4(listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
    ASSERT_TRUE(accepted);
    EXPECT_EQ(PeerUid(accepted.get()), ::geteuid());
}

TEST(ChannelSocket, ASocketLeftBehindIsReplacedAndAnythingElseIsLeftAlone) {
    TempDir dir;
    const auto name = dir / kChannelSocketName;
    {
        const UniqueFd gone = ListenChannel(dir.path());  // its file stays
    }
    ASSERT_TRUE(std::filesystem::is_socket(std::filesystem::symlink_status(name)));
    EXPECT_TRUE(ListenChannel(dir.path()));

    // A link, a folder, a FIFO, a file.
    for (int kind = 0; kind <= kNonFileKinds; ++kind) {
        SCOPED_TRACE(kind);
        std::filesystem::remove(name);
        if (kind == kNonFileKinds)
            WriteFile(name, "vgx");
        else
            PlantNonFile(kind, name);
        EXPECT_FALSE(ListenChannel(dir.path()));
        EXPECT_FALSE(std::filesystem::is_socket(std::filesystem::symlink_status(name)));
    }
    EXPECT_EQ(ReadFile(name), "vgx");
}

}  // namespace
}  // namespace test
}  // namespace vgx
