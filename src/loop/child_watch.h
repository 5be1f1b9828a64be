#pragma once

#include <spawn.h>
#include <sys/types.h>

#include <functional>

#include "loop/event_loop.h"

namespace vgx {

// Starts `file` (looked up in PATH) with `actions`, every signal at its default and none
// blocked, whatever this process blocks or ignores; 0 or the error number.
int SpawnWithSignalsReset(pid_t& pid, const char* file, const posix_spawn_file_actions_t& actions,
                          char* const argv[], char* const envp[]);

// Calls `exited` once with the wait status when child `pid` ends, and reaps it. The end is
// seen through a pidfd where the kernel has them, else by looking twice a second. Dropping the
// handle stops watching; the child goes on and is reaped by nobody.
LoopHandle WatchChildExit(EventLoop& loop, pid_t pid, std::function<void(int status)> exited);

}  // namespace vgx
