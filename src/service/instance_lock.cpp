#include "service/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace vgx {

namespace {

LockAttempt Unavailable(std::string why) {
    return {LockResult::Unavailable, std::nullopt, std::move(why)};
}

constexpr const char* kNotAFile = "não é um arquivo comum";

}  // namespace

LockAttempt InstanceLock::Take(const std::filesystem::path& programDir) {
    const std::filesystem::path file = programDir / kInstanceLockName;
    // Something other than a regular file under the name is not even opened (a device could
    // act on an open); O_NOFOLLOW makes a link fail, and fstat catches a swap in between.
    struct stat st {};
    if (::lstat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return Unavailable(kNotAFile);
    constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    UniqueFd fd(::open(file.c_str(), O_RDWR | O_CREAT | kFlags, 0600));
    // A lock file that is there already locks as well when it may only be read (a read-only
    // folder or file): flock needs no write access.
    if (!fd && (errno == EROFS || errno == EACCES || errno == EPERM))
        fd.reset(::open(file.c_str(), O_RDONLY | kFlags));
    if (!fd)
        return Unavailable(errno == ELOOP ? kNotAFile : std::strerror(errno));
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return Unavailable(kNotAFile);
    int rc = 0;
    while ((rc = ::flock(fd.get(), LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (rc == 0)
        return {LockResult::Taken, InstanceLock(std::move(fd)), {}};
    if (errno == EWOULDBLOCK)
        return {LockResult::HeldElsewhere, std::nullopt, {}};
    return Unavailable(std::strerror(errno));
}

std::string LockUnavailableMessage(const std::string& why) {
    return "FALHA AO TRAVAR VIGIAX.LOCK! " + why + " ";
}

}  // namespace vgx
