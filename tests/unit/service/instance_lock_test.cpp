// The one-copy lock in temporary program directories.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include "app/spawn_posix.h"
#include "service/instance_lock.h"
#include "support/temp_dir.h"

namespace vgx::test {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

// One holder per directory until it goes, and no child process of the holder inherits it.
TEST(InstanceLock, OneHolderPerDirectoryUntilItGoesAndNoChildInheritsIt) {
    TempDir dir;
    auto [first, lock] = InstanceLock::Take(dir.path());
    ASSERT_EQ(first, LockResult::Taken);
    const auto [second, none] = InstanceLock::Take(dir.path());
    EXPECT_EQ(second, LockResult::HeldElsewhere);
    EXPECT_FALSE(none.has_value());
    struct stat st {};
    ASSERT_EQ(::stat((dir / kInstanceLockName).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    const auto listing = dir / "fds.txt";
    {
        const UniqueFd out(::open(listing.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
        const pid_t child = SpawnHidden({"sh", "-c", "ls -l /proc/$$/fd"}, out.get());
        ASSERT_GT(child, 0);
        EXPECT_EQ(WaitForExit(child), 0);
    }
    EXPECT_THAT(ReadFile(listing), AllOf(HasSubstr("fds.txt"), Not(HasSubstr(kInstanceLockName))));
    lock.reset();
    EXPECT_EQ(InstanceLock::Take(dir.path()).first, LockResult::Taken);
}

// A link, a folder or a FIFO under the name is neither followed nor locked.
TEST(InstanceLock, AnythingButARegularFileUnderTheNameIsUnavailable) {
    for (int kind = 0; kind <= kNonFileKinds; ++kind) {
        SCOPED_TRACE(kind);
        TempDir dir;
        const auto name = dir / kInstanceLockName;
        const auto target = dir / "target";
        if (kind == kNonFileKinds) {
            WriteFile(target, "x");
            std::filesystem::create_symlink(target, name);
        } else {
            PlantNonFile(kind, name);
        }
        EXPECT_EQ(InstanceLock::Take(dir.path()).first, LockResult::Unavailable);
        if (kind == kNonFileKinds) {
            const UniqueFd fd(::open(target.c_str(), O_RDONLY | O_CLOEXEC));
            EXPECT_EQ(::flock(fd.get(), LOCK_EX | LOCK_NB), 0) << "the link's target was locked";
        }
    }
}

}  // namespace
}  // namespace vgx::test
