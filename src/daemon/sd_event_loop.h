#pragma once

#include <functional>

#include "loop/event_loop.h"

struct sd_event;

namespace vgx {

// The engine's loop on libsystemd's sd-event: timers on CLOCK_MONOTONIC, descriptor watches,
// signal sources, and the keep-alives the service manager asked for (sent by sd-event itself
// at half its watchdog interval).
class SdEventLoop final : public EventLoop {
public:
    SdEventLoop();
    ~SdEventLoop() override;
    SdEventLoop(const SdEventLoop&) = delete;
    SdEventLoop& operator=(const SdEventLoop&) = delete;

    // False when sd-event could not be set up.
    bool Ok() const { return event_ != nullptr; }

    MonoTime Now() const override;
    LoopHandle At(MonoTime when, std::function<void()> fire) override;
    LoopHandle Watch(int fd, unsigned events, std::function<void(unsigned ready)> ready) override;

    // Calls `received` each time `sig` arrives; the signal must be blocked (PrepareProcess).
    LoopHandle Signal(int sig, std::function<void()> received);
    // Keep-alives to the service manager when it watches this process (WATCHDOG_USEC).
    void KeepServiceManagerInformed();
    // Runs until Exit; returns its code.
    int Run();
    void Exit(int code);

private:
    sd_event* event_ = nullptr;
};

}  // namespace vgx
