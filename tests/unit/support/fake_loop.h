#pragma once

#include "support/fake_clock.h"
#include "support/test_loop.h"

namespace vgx::test {

// An event loop on the fake clock's virtual time: running it jumps from one timer to the next,
// so minutes of waits pass in microseconds. Watched descriptors are real and looked at (without
// waiting) at every step.
class FakeLoop final : public TestLoop {
public:
    explicit FakeLoop(FakeClock& clock) : clock_(clock) {}

    MonoTime Now() const override { return clock_.Monotonic(); }

    // Runs whatever is due at the current moment, then moves time to each later timer in turn
    // until `span` has passed; time ends at now + span.
    void RunFor(std::chrono::milliseconds span) {
        RunUntil(Now() + span, [] { return false; });
    }
    // As RunFor, but stops as soon as `done` holds (checked after each callback). False when the
    // time ran out first.
    bool RunUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds limit = std::chrono::hours(24 * 40)) {
        return RunUntil(Now() + limit, done);
    }

private:
    void AdvanceTo(MonoTime when) {
        if (when > Now())
            clock_.Advance(std::chrono::ceil<std::chrono::milliseconds>(when - Now()));
    }
    bool RunUntil(MonoTime end, const std::function<bool()>& done) {
        while (!done()) {
            if (PollWatches(0))
                continue;
            if (NextTimer() > end) {
                AdvanceTo(end);
                return done();
            }
            AdvanceTo(NextTimer());
            FireNext();
        }
        return true;
    }

    FakeClock& clock_;
};

}  // namespace vgx::test
