#pragma once

#include <sys/types.h>

#include <functional>

#include "loop/event_loop.h"

namespace vgx {

// Calls `exited` once with the wait status when child `pid` ends, and reaps it. The end is
// seen through a pidfd where the kernel has them, else by looking twice a second. Dropping the
// handle stops watching; the child goes on and is reaped by nobody.
LoopHandle WatchChildExit(EventLoop& loop, pid_t pid, std::function<void(int status)> exited);

}  // namespace vgx
