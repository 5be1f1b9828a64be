#pragma once

#include <functional>

#include "ui/signal_bridge.h"

namespace vgx {

// Turns SIGTERM and SIGINT into a call on the event loop's thread.
class QuitSignals final {
public:
    explicit QuitSignals(std::function<void()> onQuit);

private:
    SignalBridge bridge_;
};

}  // namespace vgx
