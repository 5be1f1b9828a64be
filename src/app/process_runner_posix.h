#pragma once

#include "app/ports.h"

namespace vgx {

// posix_spawn with the standard streams on /dev/null; the end watched on the loop.
class PosixProcessRunner final : public ProcessRunner {
public:
    explicit PosixProcessRunner(EventLoop& loop) : loop_(loop) {}
    LoopHandle Run(const std::vector<std::string>& argv,
                   std::function<void(bool started)> ended) override;

private:
    EventLoop& loop_;
};

}  // namespace vgx
