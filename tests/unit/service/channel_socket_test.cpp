// The channel's socket file in temporary program directories.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "service/channel_socket_linux.h"
#include "support/temp_dir.h"

namespace vgx::test {
namespace {

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
}  // namespace vgx::test
