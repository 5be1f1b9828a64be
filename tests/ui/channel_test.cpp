// The channel between the running copy and its faces, on a real socket in a temporary program
// directory.
#include <fcntl.h>
#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <cerrno>
#include <memory>
#include <vector>

#include "service/channel_socket_linux.h"
#include "support/temp_dir.h"
#include "ui/channel/channel_client.h"
#include "ui/channel/channel_server.h"

namespace vgx::test {

namespace {

RemoteState Sample(int failures) {
    return {"INICIOU O SISTEMA\r\nFALHA ENDEREÇO: 127.0.0.9\r\n",
            "FALHAS: " + std::to_string(failures), ReportColours::Alarm, kTrayFailures,
            static_cast<float>(failures)};
}

// A face that records what reaches it.
struct Face {
    explicit Face(const std::filesystem::path& dir) : client(dir) {
        QObject::connect(&client, &ChannelClient::stateReceived,
                         [this](const RemoteState& s) { states.push_back(s); });
        QObject::connect(&client, &ChannelClient::disconnected, [this] { ++disconnects; });
    }
    ChannelClient client;
    std::vector<RemoteState> states;
    int disconnects = 0;
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

}  // namespace

class ChannelTest : public QObject {
    Q_OBJECT

private slots:
    void aFaceFollowsTheStateDrivesTheRunningCopyAndNoticesItGoing() {
        TempDir dir;
        auto server = std::make_unique<ChannelServer>(dir.path());
        struct stat st {};
        QCOMPARE(::lstat((dir / kChannelSocketName).c_str(), &st), 0);
        QVERIFY(S_ISSOCK(st.st_mode));
        QCOMPARE(st.st_mode & 07777, 0600u);

        std::vector<ChannelMessageType> commands;
        connect(server.get(), &ChannelServer::commandReceived,
                [&](ChannelMessageType t) { commands.push_back(t); });
        server->Publish(Sample(0));
        Face face(dir.path());
        QVERIFY(face.client.Connect());
        QTRY_COMPARE(face.states.size(), 1u);
        server->Publish(Sample(1));
        server->Publish(Sample(1));
        server->Publish(Sample(2));
        QTRY_COMPARE(face.states.size(), 3u);
        QVERIFY((face.states == std::vector{Sample(0), Sample(1), Sample(2)}));

        using T = ChannelMessageType;
        const std::vector<T> sent = {T::SettingsSaved, T::JobsSaved, T::ResetFailures,
                                     T::RestartButton, T::CancelRestart};
        for (T t : sent) {
            face.client.Send(t);
            face.client.Send(T::State);  // not a command
        }
        QTRY_COMPARE(commands.size(), sent.size());
        QVERIFY(commands == sent);

        // Each end notices the other going.
        auto leaving = std::make_unique<Face>(dir.path());
        QVERIFY(leaving->client.Connect());
        QTRY_COMPARE(server->Connections(), 2);
        leaving.reset();
        QTRY_COMPARE(server->Connections(), 1);
        server.reset();
        QTRY_COMPARE(face.disconnects, 1);
        QVERIFY(!face.client.Connected());
        QVERIFY(!std::filesystem::exists(dir / kChannelSocketName));
        QVERIFY(!face.client.Connect());
    }

    void aBrokenFrameClosesOnlyItsConnection() {
        TempDir dir;
        ChannelServer server(dir.path());
        server.Publish(Sample(0));
        Face face(dir.path());
        QVERIFY(face.client.Connect());
        const std::string state = EncodeChannelMessage({ChannelMessageType::State, Sample(3)});
        const std::string broken[] = {
            // A State frame whose length leaves out most of its fields; a 64 KiB frame; garbage.
            std::string("\0\0\0\x10", 4) + state.substr(4, 16),
            std::string("\0\1\0\0\1\2", 6) + std::string(1000, 'x'), "GET / HTTP/1.0\r\n\r\n"};
        for (int i = 0; i < 3; ++i) {
            const std::string& bytes = broken[i];
            const UniqueFd raw = ConnectChannel(dir.path());
            QTRY_COMPARE(server.Connections(), 2);
            QCOMPARE(::write(raw.get(), bytes.data(), bytes.size()), ssize_t(bytes.size()));
            QTRY_COMPARE(server.Connections(), 1);
            QVERIFY(ClosedByServer(raw.get()));
            server.Publish(Sample(i + 1));
            QTRY_COMPARE(face.states.size(), std::size_t(i + 2));
        }
        QVERIFY(face.client.Connected());
    }

    // A crowd of idle connections: a handful are kept, the rest closed at once.
    void aCrowdOfConnectionsIsCappedAndTheRestClosed() {
        TempDir dir;
        ChannelServer server(dir.path());
        std::vector<UniqueFd> crowd;
        for (int i = 0; i < 3 * ChannelServer::kMaxFaces; ++i) {
            crowd.push_back(ConnectChannel(dir.path()));
            QVERIFY(crowd.back());
            QCOMPARE(::write(crowd.back().get(), "\0", 1), ssize_t(1));
            QTest::qWait(1);
        }
        QTRY_COMPARE(server.Connections(), ChannelServer::kMaxFaces);
        for (std::size_t i = ChannelServer::kMaxFaces; i < crowd.size(); ++i)
            QVERIFY(ClosedByServer(crowd[i].get()));
        crowd.clear();
        QTRY_COMPARE(server.Connections(), 0);
        Face face(dir.path());
        QVERIFY(face.client.Connect());
        QTRY_COMPARE(server.Connections(), 1);
    }

    // A face that reads nothing cannot make the running copy hold more than 1 MiB for it.
    void aFaceThatDoesNotReadIsDropped() {
        TempDir dir;
        ChannelServer server(dir.path());
        Face face(dir.path());
        QVERIFY(face.client.Connect());
        const UniqueFd stuck = ConnectChannel(dir.path());
        QTRY_COMPARE(server.Connections(), 2);
        RemoteState s = Sample(1);
        s.text1 = std::string(kChannelMaxReport, 'x');
        for (int i = 0; i < 1000 && server.Connections() == 2; ++i) {
            s.warningCounter = static_cast<std::uint8_t>(i);
            server.Publish(s);
            QTest::qWait(1);
        }
        QCOMPARE(server.Connections(), 1);
        QTRY_VERIFY(!face.states.empty() && face.states.back() == s);
        QVERIFY(face.client.Connected());
    }

    void aPeerOfAnotherUserIsRefused() {
        if (::geteuid() != 0)
            QSKIP("needs root: a child process becomes the user nobody to connect as another user");
        TempDir dir;
        ::chmod(dir.path().c_str(), 0711);
        ChannelServer server(dir.path());
        server.Publish(Sample(1));
        const std::string path = (dir / kChannelSocketName).string();
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        QVERIFY(path.size() < sizeof addr.sun_path);
        path.copy(addr.sun_path, path.size());

        // As made, the socket's mode keeps the other user out; opened to all, as if that were
        // lost, the credentials check does.
        for (const mode_t mode : {0600u, 0666u}) {
            QCOMPARE(::chmod(path.c_str(), mode), 0);
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
            QVERIFY(pid > 0);
            int status = 0;
            bool reaped = false;
            QTRY_VERIFY_WITH_TIMEOUT(reaped || (reaped = ::waitpid(pid, &status, WNOHANG) == pid),
                                     10000);
            QVERIFY(WIFEXITED(status));
            QCOMPARE(WEXITSTATUS(status), mode == 0600 ? 1 : 2);
            QCOMPARE(server.Connections(), 0);
        }
    }
};

}  // namespace vgx::test

QTEST_GUILESS_MAIN(vgx::test::ChannelTest)
#include "channel_test.moc"
