#pragma once

#include <signal.h>

namespace vgx {

// The signals that control the program: SIGTERM and SIGINT stop it, SIGUSR1 and SIGUSR2 pause
// and continue the service copy.
sigset_t ControlSignals();

// First thing in main, before any thread exists: the control signals are blocked, so that one
// arriving before its handler is ready can neither kill the program nor be lost (it stays
// pending until the event loop takes it); and the soft limit of open files is raised to the
// hard one, so that a crowd of connections does not starve the probes of sockets.
void PrepareProcess();

}  // namespace vgx
