#pragma once

#include <memory>

#include "app/ports.h"

namespace vgx {

// The platform's real pieces, each defined beside its implementation.
std::unique_ptr<PowerControl> MakeSystemPowerControl(EventLoop& loop);
std::unique_ptr<ProcessRunner> MakeSystemProcessRunner(EventLoop& loop);

}  // namespace vgx
