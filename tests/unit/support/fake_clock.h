#pragma once
#include <chrono>

#include "records/clock.h"

namespace vgx::test {

// A clock the test moves by hand; the monotonic clock moves with it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(LocalTime start = MakeLocalTime(2026, 12, 5, 14, 5, 9)) : now_(start) {}

    LocalTime Now() const override { return now_; }
    std::chrono::steady_clock::time_point Monotonic() const override { return mono_; }

    void Set(LocalTime t) { now_ = t; }
    void Advance(std::chrono::milliseconds d) {
        now_ += d;
        mono_ += d;
    }

private:
    LocalTime now_;
    std::chrono::steady_clock::time_point mono_{};
};

}  // namespace vgx::test
