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
    template <class Rep, class Period>
    void Advance(std::chrono::duration<Rep, Period> d) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(d);
        now_ += ms;
        mono_ += ms;
    }

private:
    LocalTime now_;
    std::chrono::steady_clock::time_point mono_{};
};

}  // namespace vgx::test
