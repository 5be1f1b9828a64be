#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace vgx {

using MonoClock = std::chrono::steady_clock;
using MonoTime = MonoClock::time_point;

// One thing armed on the loop: a timer, a watch, a probe or a question under way. Dropping its
// handle cancels it, and its callback is not called after that. A handle may be dropped from
// inside its own callback.
class LoopRegistration {
public:
    virtual ~LoopRegistration() = default;
};
using LoopHandle = std::unique_ptr<LoopRegistration>;

// What a descriptor is watched for, and what it is ready for.
enum FdEvents : unsigned {
    kFdRead = 1U << 0,   // readable, or hung up / in error
    kFdWrite = 1U << 1,  // writable
};

// The event loop that runs the engine, owned by whoever runs it (the Qt loop of the desktop
// copy, sd-event in the daemon, a virtual-time loop in tests). The engine never waits: it arms
// timers and watches and is called back. Callbacks run on the loop's one thread, one at a time,
// never from inside the call that armed them.
class EventLoop {
public:
    virtual ~EventLoop() = default;

    // Monotonic time as the loop's timers count it.
    virtual MonoTime Now() const = 0;
    // Calls `fire` once at `when` (as soon as it can when `when` has passed).
    virtual LoopHandle At(MonoTime when, std::function<void()> fire) = 0;
    // Calls `ready` each time `fd` is ready for any of `events` (FdEvents), with what it is ready
    // for, until the handle is dropped. The descriptor stays the caller's; it has one watch at a
    // time (drop the old handle before watching it anew).
    virtual LoopHandle Watch(int fd, unsigned events,
                             std::function<void(unsigned ready)> ready) = 0;

    LoopHandle After(std::chrono::milliseconds delay, std::function<void()> fire) {
        return At(Now() + delay, std::move(fire));
    }
    // Runs `run` next, after the callback now running has returned.
    LoopHandle Next(std::function<void()> run) { return At(Now(), std::move(run)); }
};

}  // namespace vgx
