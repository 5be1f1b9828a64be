#pragma once

#include <optional>

#include "app/ports.h"

namespace vgx {

// posix_spawn with the standard streams on /dev/null, then waitpid without a time limit.
class PosixProcessRunner final : public ProcessRunner {
public:
    bool RunAndWait(const std::vector<std::string>& argv) override;
    // The program's exit status, or nothing when it could not be started or did not exit.
    static std::optional<int> ExitStatus(const std::vector<std::string>& argv);
};

}  // namespace vgx
