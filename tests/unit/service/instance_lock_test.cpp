// The one-copy lock in temporary program directories.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>

#include "service/command_runner.h"
#include "service/instance_lock.h"
#include "support/temp_dir.h"

namespace vgx::test {
namespace {

using namespace ::testing;

// One holder per directory until it goes, and no child process of the holder inherits it.
TEST(InstanceLock, OneHolderPerDirectoryUntilItGoesAndNoChildInheritsIt) {
    TempDir dir;
    LockAttempt first = InstanceLock::Take(dir.path());
    ASSERT_EQ(first.result, LockResult::Taken);
    const LockAttempt second = InstanceLock::Take(dir.path());
    EXPECT_EQ(second.result, LockResult::HeldElsewhere);
    EXPECT_FALSE(second.lock.has_value());
    EXPECT_EQ(std::filesystem::status(dir / kInstanceLockName).permissions(),
              std::filesystem::perms(0600));

    const std::string childFds =
        MakeSystemCommandRunner()->Run({"sh", "-c", "ls -l /proc/$$/fd"}).output;
    EXPECT_THAT(childFds, AllOf(HasSubstr("pipe:"), Not(HasSubstr(kInstanceLockName))));
    first.lock.reset();
    EXPECT_EQ(InstanceLock::Take(dir.path()).result, LockResult::Taken);
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
        const LockAttempt attempt = InstanceLock::Take(dir.path());
        EXPECT_EQ(attempt.result, LockResult::Unavailable);
        EXPECT_EQ(LockUnavailableMessage(attempt.why),
                  "FALHA AO TRAVAR VIGIAX.LOCK! não é um arquivo comum ");
        if (kind == kNonFileKinds) {
            const UniqueFd fd(::open(target.c_str(), O_RDONLY | O_CLOEXEC));
            EXPECT_EQ(::flock(fd.get(), LOCK_EX | LOCK_NB), 0) << "the link's target was locked";
        }
    }
}

}  // namespace
}  // namespace vgx::test
