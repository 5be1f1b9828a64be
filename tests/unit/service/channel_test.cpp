// The channel between the running copy and its faces: its frames, its socket file, and the
// server and client on a real socket in a temporary program directory and a real-time loop.
#include "service/channel_server.h"

#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <bit>
#include <cmath>

#include "service/channel_socket_linux.h"
#include "support/poll_loop.h"
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

using namespace ::testing;
using Result = ChannelDecoder::Result;
using namespace std::chrono_literals;

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

RemoteState Sample(int failures) {
    RemoteState s = kSample;
    s.failureLabel = "FALHAS: " + std::to_string(failures);
    s.nfalhas = static_cast<float>(failures);
    return s;
}

// A face that records what reaches it.
struct Face {
    Face(EventLoop& loop, const std::filesystem::path& dir)
        : client(
              loop, dir, [this](const RemoteState& s) { states.push_back(s); },
              [this] { ++disconnects; }) {}
    std::vector<RemoteState> states;
    int disconnects = 0;
    ChannelClient client;
};

// True once the server has closed a raw peer's connection (whatever it sent before).
bool ClosedByServer(int fd) {
    ssize_t n = 1;
    for (char buf[4096]; n > 0;)
        n = ::read(fd, buf, sizeof buf);
    return n == 0 || errno == ECONNRESET;
}

struct Channel : ::testing::Test {
    PollLoop loop;
    TempDir dir;
    std::vector<ChannelMessageType> commands;
    std::unique_ptr<ChannelServer> server = std::make_unique<ChannelServer>(
        loop, dir.path(), [this](ChannelMessageType t) { commands.push_back(t); });

    bool Until(const std::function<bool()>& done) { return loop.RunUntil(done, 5s); }
};

TEST_F(Channel, AFaceFollowsTheStateDrivesTheRunningCopyAndNoticesItGoing) {
    struct stat st {};
    ASSERT_EQ(::lstat((dir / kChannelSocketName).c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    server->Publish(Sample(0));
    Face face(loop, dir.path());
    ASSERT_TRUE(face.client.Connect());
    ASSERT_TRUE(Until([&] { return face.states.size() == 1; }));
    server->Publish(Sample(1));
    server->Publish(Sample(1));
    server->Publish(Sample(2));
    ASSERT_TRUE(Until([&] { return face.states.size() == 3; }));
    EXPECT_EQ(face.states, (std::vector{Sample(0), Sample(1), Sample(2)}));

    using T = ChannelMessageType;
    const std::vector<T> sent = {T::SettingsSaved, T::JobsSaved, T::ResetFailures, T::RestartButton,
                                 T::CancelRestart};
    for (T t : sent) {
        face.client.Send(t);
        face.client.Send(T::State);  // not a command
    }
    ASSERT_TRUE(Until([&] { return commands.size() == sent.size(); }));
    EXPECT_EQ(commands, sent);

    // Each end notices the other going.
    auto leaving = std::make_unique<Face>(loop, dir.path());
    ASSERT_TRUE(leaving->client.Connect());
    ASSERT_TRUE(Until([&] { return server->Connections() == 2; }));
    leaving.reset();
    ASSERT_TRUE(Until([&] { return server->Connections() == 1; }));
    server.reset();
    ASSERT_TRUE(Until([&] { return face.disconnects == 1; }));
    EXPECT_FALSE(face.client.Connected());
    EXPECT_FALSE(std::filesystem::exists(dir / kChannelSocketName));
    EXPECT_FALSE(face.client.Connect());
}

TEST_F(Channel, ABrokenFrameClosesOnlyItsConnection) {
    server->Publish(Sample(0));
    Face face(loop, dir.path());
    ASSERT_TRUE(face.client.Connect());
    const std::string state = EncodeChannelMessage({ChannelMessageType::State, Sample(3)});
    const std::string broken[] = {
        // A State frame whose length leaves out most of its fields; a 64 KiB frame; garbage.
        std::string("\0\0\0\x10", 4) + state.substr(4, 16),
        std::string("\0\1\0\0\1\2", 6) + std::string(1000, 'x'), "GET / HTTP/1.0\r\n\r\n"};
    for (int i = 0; i < 3; ++i) {
        const std::string& bytes = broken[i];
        const UniqueFd raw = ConnectChannel(dir.path());
        ASSERT_TRUE(Until([&] { return server->Connections() == 2; }));
        ASSERT_EQ(::write(raw.get(), bytes.data(), bytes.size()), ssize_t(bytes.size()));
        ASSERT_TRUE(Until([&] { return server->Connections() == 1; }));
        EXPECT_TRUE(ClosedByServer(raw.get()));
        server->Publish(Sample(i + 1));
        ASSERT_TRUE(Until([&] { return face.states.size() == std::size_t(i + 2); }));
    }
    EXPECT_TRUE(face.client.Connected());
}

// A crowd of idle connections: a handful are kept, the rest closed at once; and a face that
// reads nothing cannot make the running copy hold more than 1 MiB for it.
TEST_F(Channel, ACrowdIsCappedAndAFaceThatDoesNotReadIsDropped) {
    std::vector<UniqueFd> crowd;
    for (int i = 0; i < 3 * ChannelServer::kMaxFaces; ++i) {
        crowd.push_back(ConnectChannel(dir.path()));
        ASSERT_TRUE(crowd.back());
        ASSERT_EQ(::write(crowd.back().get(), "\0", 1), ssize_t(1));
        loop.RunUntil([] { return false; }, 1ms);
    }
    ASSERT_TRUE(Until([&] { return server->Connections() == ChannelServer::kMaxFaces; }));
    for (std::size_t i = ChannelServer::kMaxFaces; i < crowd.size(); ++i)
        EXPECT_TRUE(ClosedByServer(crowd[i].get()));
    crowd.clear();
    ASSERT_TRUE(Until([&] { return server->Connections() == 0; }));

    Face face(loop, dir.path());
    ASSERT_TRUE(face.client.Connect());
    const UniqueFd stuck = ConnectChannel(dir.path());
    ASSERT_TRUE(Until([&] { return server->Connections() == 2; }));
    RemoteState s = Sample(1);
    s.text1 = std::string(kChannelMaxReport, 'x');
    for (int i = 0; i < 1000 && server->Connections() == 2; ++i) {
        s.warningCounter = static_cast<std::uint8_t>(i);
        server->Publish(s);
        loop.RunUntil([] { return false; }, 1ms);
    }
    EXPECT_EQ(server->Connections(), 1);
    EXPECT_TRUE(Until([&] { return !face.states.empty() && face.states.back() == s; }));
    EXPECT_TRUE(face.client.Connected());
}

TEST_F(Channel, APeerOfAnotherUserIsRefused) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root: a child process becomes the user nobody to connect";
    ::chmod(dir.path().c_str(), 0711);
    server->Publish(Sample(1));
    const std::string path = (dir / kChannelSocketName).string();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof addr.sun_path);
    path.copy(addr.sun_path, path.size());

    // As made, the socket's mode keeps the other user out; opened to all, as if that were
    // lost, the credentials check does.
    for (const mode_t mode : {0600u, 0666u}) {
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const gid_t nobody = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setresgid(nobody, nobody, nobody) != 0 ||
                ::setresuid(nobody, nobody, nobody) != 0)
                ::_exit(10);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
                ::_exit(errno == EACCES ? 1 : 11);
            char byte = 0;
            const ssize_t n = ::read(fd, &byte, 1);
            ::_exit(n == 0 || (n < 0 && errno == ECONNRESET) ? 2 : 12);
        }
        ASSERT_GT(pid, 0);
        int status = 0;
        ASSERT_TRUE(Until([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }));
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), mode == 0600 ? 1 : 2);
        EXPECT_EQ(server->Connections(), 0);
    }
}

}  // namespace
}  // namespace test
}  // namespace vgx
