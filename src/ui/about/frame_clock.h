#pragma once

#include <functional>
#include <memory>

namespace vgx {

// Calls an animation's frames: the windows use a timer, tests call the frames by hand.
class FrameClock {
public:
    virtual ~FrameClock() = default;
    virtual void Start(std::function<void()> frame) = 0;
    virtual void Stop() = 0;
};

// Frames from a QTimer on the event loop, one every intervalMs milliseconds.
std::unique_ptr<FrameClock> MakeTimerFrameClock(int intervalMs);

}  // namespace vgx
