#pragma once

#include "loop/event_loop.h"

namespace vgx {

// The engine's loop on Qt's: precise single-shot QTimers and QSocketNotifiers on the thread of
// the application's event loop.
class QtEventLoop final : public EventLoop {
public:
    MonoTime Now() const override { return MonoClock::now(); }
    LoopHandle At(MonoTime when, std::function<void()> fire) override;
    LoopHandle Watch(int fd, unsigned events, std::function<void(unsigned ready)> ready) override;
};

}  // namespace vgx
