// The channel between the running copy and its faces, on a real socket in a temporary program
// directory and a real-time loop.
#include "service/channel_server.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "service/channel_socket_linux.h"
#include "support/poll_loop.h"
#include "support/temp_dir.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;

RemoteState Sample(int failures) {
    return {"INICIOU O SISTEMA\r\nFALHA ENDEREÇO: 127.0.0.9\r\n",
            "FALHAS: " + std::to_string(failures), ReportColours::Alarm, kTrayFailures,
            static_cast<float>(failures)};
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
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0)
            continue;
        return n == 0 || errno == ECONNRESET;
    }
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
    const std::vector<T> sent = {T::SettingsSaved, T::JobsSaved, T::ResetFailures,
                                 T::RestartButton, T::CancelRestart};
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
}  // namespace vgx::test
