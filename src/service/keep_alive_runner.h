#pragma once

#include <chrono>
#include <functional>

#include "app/ports.h"

namespace vgx {

// Starts a program hidden and waits for it without a time limit, as the engine's runner does,
// but calls `keepAlive` every `every` while it waits: a long run of the web-server restart
// tool is no hang of the service.
class KeepAliveProcessRunner final : public ProcessRunner {
public:
    KeepAliveProcessRunner(std::function<void()> keepAlive, std::chrono::milliseconds every)
        : keepAlive_(std::move(keepAlive)), every_(every) {}

    bool RunAndWait(const std::vector<std::string>& argv) override;

private:
    std::function<void()> keepAlive_;
    std::chrono::milliseconds every_;
};

}  // namespace vgx
