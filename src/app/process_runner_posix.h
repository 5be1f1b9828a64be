#pragma once

#include "app/ports.h"

namespace vgx {

// posix_spawn with the standard streams on /dev/null, then waitpid without a time limit.
class PosixProcessRunner final : public ProcessRunner {
public:
    bool RunAndWait(const std::vector<std::string>& argv) override;
};

}  // namespace vgx
