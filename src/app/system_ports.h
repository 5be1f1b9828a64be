#pragma once

#include <memory>

#include "app/ports.h"

namespace vgx {

// The platform's real pieces, each defined beside its implementation.
std::unique_ptr<PowerControl> MakeSystemPowerControl();
std::unique_ptr<ProcessRunner> MakeSystemProcessRunner();

}  // namespace vgx
