#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "records/unique_fd.h"

namespace vgx {

inline constexpr const char* kInstanceLockName = "vigiax.lock";

enum class LockResult {
    Taken,          // this copy runs the watchdog
    HeldElsewhere,  // another live copy holds the lock: it runs the watchdog
    Unavailable,    // the lock file cannot be opened or locked: not allowed, a read-only or full
                    // folder, or the name taken by something that is no regular file
};

struct LockAttempt;

// The one-copy lock: an exclusive flock on <programDir>/vigiax.lock, held for the life of the
// object. The kernel lets it go when the process ends however it ends, so a file left behind
// holds nothing; the file is never removed (a removal could let two copies lock two files).
// The descriptor is close-on-exec, so no child process can keep the lock past its owner.
class InstanceLock {
public:
    // Only HeldElsewhere says that another copy watches. A copy that gets Unavailable cannot
    // tell, and runs the watchdog itself (as every copy did before the lock existed); whatever
    // stands under the name is left as it is.
    [[nodiscard]] static LockAttempt Take(const std::filesystem::path& programDir);

    InstanceLock(InstanceLock&&) noexcept = default;
    InstanceLock& operator=(InstanceLock&&) noexcept = default;

private:
    explicit InstanceLock(UniqueFd fd) : fd_(std::move(fd)) {}
    UniqueFd fd_;
};

struct LockAttempt {
    LockResult result = LockResult::Unavailable;
    std::optional<InstanceLock> lock;  // with Taken only
    std::string why;                   // with Unavailable: what stood in the way
};

// The log line of a lock that could not be taken.
std::string LockUnavailableMessage(const std::string& why);

}  // namespace vgx
