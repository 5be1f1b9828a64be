#pragma once

#include <filesystem>
#include <optional>
#include <utility>

#include "records/unique_fd.h"

namespace vgx {

inline constexpr const char* kInstanceLockName = "vigiax.lock";

enum class LockResult {
    Taken,          // this copy runs the watchdog
    HeldElsewhere,  // another copy (or another process) holds the lock
    Unavailable,    // the lock file cannot be opened: not allowed, or the name is taken by
                    // something that is no regular file (a link, a folder, a FIFO...)
};

// The one-copy lock: an exclusive flock on <programDir>/vigiax.lock, held for the life of the
// object. The kernel lets it go when the process ends however it ends, so a file left behind
// holds nothing; the file is never removed (a removal could let two copies lock two files).
// The descriptor is close-on-exec, so no child process can keep the lock past its owner.
class InstanceLock {
public:
    // A lock is returned only with Taken. A copy that gets Unavailable cannot tell whether
    // another copy runs, and should not run the watchdog either.
    [[nodiscard]] static std::pair<LockResult, std::optional<InstanceLock>> Take(
        const std::filesystem::path& programDir);

    InstanceLock(InstanceLock&&) noexcept = default;
    InstanceLock& operator=(InstanceLock&&) noexcept = default;

private:
    explicit InstanceLock(UniqueFd fd) : fd_(std::move(fd)) {}
    UniqueFd fd_;
};

}  // namespace vgx
