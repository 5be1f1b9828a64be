#pragma once

#include "app/engine_builder.h"

namespace vgx {

// vigiaxd, the service copy that systemd runs: the engine on sd-event, no windows. It tells
// systemd it is ready, how it stands and that it is alive; SIGUSR1 pauses it, SIGUSR2 continues
// it, SIGTERM and SIGINT stop it. Returns the process exit code.
int RunDaemon(int argc, char** argv, const EngineOptions& options);

}  // namespace vgx
