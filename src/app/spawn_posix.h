#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace vgx {

// Starts argv[0] (looked up in PATH when it holds no slash) with default signal handling,
// standard input and error on /dev/null and standard output on `outFd` (/dev/null when -1).
// Returns the child's pid, or -1 when it could not be started.
pid_t SpawnHidden(const std::vector<std::string>& argv, int outFd = -1);

// The exit status of a child whose wait status is `status`: 128 + the signal when it was killed.
int ExitCodeOf(int status);

// Reaps `pid`, going on after interrupted waits; returns ExitCodeOf its status.
int WaitForExit(pid_t pid);

}  // namespace vgx
