#include "service/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>

namespace vgx {

std::pair<LockResult, std::optional<InstanceLock>> InstanceLock::Take(
    const std::filesystem::path& programDir) {
    const std::filesystem::path file = programDir / kInstanceLockName;
    // Something other than a regular file under the name is not even opened (a device could
    // act on an open); O_NOFOLLOW makes a link fail, and fstat catches a swap in between.
    struct stat st {};
    if (::lstat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return {LockResult::Unavailable, std::nullopt};
    UniqueFd fd(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600));
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return {LockResult::Unavailable, std::nullopt};
    int rc = 0;
    while ((rc = ::flock(fd.get(), LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (rc != 0)
        return {errno == EWOULDBLOCK ? LockResult::HeldElsewhere : LockResult::Unavailable,
                std::nullopt};
    return {LockResult::Taken, InstanceLock(std::move(fd))};
}

}  // namespace vgx
