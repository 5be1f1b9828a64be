#pragma once

#include <cstdint>

namespace vgx {

class PowerControl;

// What a build may put in place of the production pieces.
struct ProgramOptions {
    PowerControl* power = nullptr;  // null: the real restart
    std::uint16_t httpPort = 80;
};

// The program: checks the platform, puts the engine together, loads it and runs the event
// loop until SIGTERM, SIGINT or quit; then unloads. Returns the process exit code.
int RunVigiax(int argc, char** argv, const ProgramOptions& options);

}  // namespace vgx
