#pragma once

#include "support/test_loop.h"

namespace vgx::test {

// An event loop in real time on poll(2), for tests of code that talks to real sockets, pipes
// and children.
class PollLoop final : public TestLoop {
public:
    MonoTime Now() const override { return MonoClock::now(); }

    // Runs callbacks until `done` holds (checked after each) or `limit` has passed; false then.
    bool RunUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds limit = std::chrono::seconds(60)) {
        const MonoTime end = Now() + limit;
        while (!done()) {
            const MonoTime now = Now();
            if (NextTimer() <= now) {
                FireNext();
                continue;
            }
            if (now >= end)
                return false;
            const auto wait = std::min(end, NextTimer()) - now;
            PollWatches(
                static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
        }
        return true;
    }
};

// A timer every 10 ms on a loop, keeping the worst lateness it met: a loop held by a wait makes
// it late.
class Ticker {
public:
    explicit Ticker(EventLoop& loop) : loop_(loop) {
        Arm(loop.Now() + std::chrono::milliseconds(10));
    }
    std::chrono::milliseconds worst{0};

private:
    void Arm(MonoTime when) {
        tick_ = loop_.At(when, [this, when] {
            worst =
                std::max(worst, std::chrono::ceil<std::chrono::milliseconds>(loop_.Now() - when));
            Arm(loop_.Now() + std::chrono::milliseconds(10));
        });
    }
    EventLoop& loop_;
    LoopHandle tick_;
};

}  // namespace vgx::test
