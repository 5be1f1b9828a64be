#pragma once

#include "ui/run_vigiax.h"

namespace vgx {

// True when the program was started as the service copy, with the option "--service".
bool IsServiceStart(int argc, char** argv);

// The service copy: no windowing platform, the engine with its timers, cleaning and log, and
// the service manager's requests as signals (SIGUSR1 pause, SIGUSR2 continue, SIGTERM and
// SIGINT stop). Returns the process exit code.
int RunService(int argc, char** argv, const ProgramOptions& options);

}  // namespace vgx
