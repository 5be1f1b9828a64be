#pragma once

#include <cstdint>
#include <filesystem>

#include "app/engine_builder.h"

namespace vgx {

class CommandRunner;

// What a build may put in place of the production pieces.
struct ProgramOptions {
    EngineOptions engine;                // the power control and the web server's port
    CommandRunner* systemctl = nullptr;  // null: the machine's systemctl
    std::filesystem::path unitDir;       // empty: /etc/systemd/system
    const char* daemonName = "vigiaxd";  // the service copy, beside this executable
};

// The program: checks the platform, puts the engine together, loads it and runs the event
// loop until SIGTERM, SIGINT or quit; then unloads. Returns the process exit code.
int RunVigiax(int argc, char** argv, const ProgramOptions& options);

}  // namespace vgx
