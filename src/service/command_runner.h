#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vgx {

struct CommandResult {
    bool started = false;
    int exitStatus = -1;  // 128 + the signal when the program was killed
    std::string output;   // what it wrote to its standard output

    bool Succeeded() const { return started && exitStatus == 0; }
};

// Runs a command (systemctl) hidden, waits for it and keeps what it printed.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;
    virtual CommandResult Run(const std::vector<std::string>& argv) = 0;
};

// The real one: the program is looked up in PATH; standard input and error on /dev/null.
std::unique_ptr<CommandRunner> MakeSystemCommandRunner();

}  // namespace vgx
