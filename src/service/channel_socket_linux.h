#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>

#include "records/unique_fd.h"

namespace vgx {

inline constexpr const char* kChannelSocketName = "vigiax.sock";

// Listens on <programDir>/vigiax.sock: a Unix stream socket, non-blocking and close-on-exec,
// whose file has mode 0600 before anyone can connect. A socket file left at the name by a copy
// that ended is replaced; anything else there is left alone and nothing listens. Only the copy
// that holds the instance lock may call it, as it takes the name from any listener before it.
// The path may be of any length. An invalid descriptor when listening failed.
[[nodiscard]] UniqueFd ListenChannel(const std::filesystem::path& programDir);

// Connects to the socket of the copy running in `programDir`, without waiting (a listener whose
// queue is full refuses). The descriptor is non-blocking and close-on-exec. A listener that
// PeerAllowed would refuse as a peer is left at once. Invalid when no connection was made.
[[nodiscard]] UniqueFd ConnectChannel(const std::filesystem::path& programDir);

// The user of the process at the other end of a connected Unix socket.
std::optional<uid_t> PeerUid(int fd);

// A peer may use the channel when it runs as this process's effective user or as root.
bool PeerAllowed(uid_t peer);

}  // namespace vgx
