#pragma once

#include <chrono>

#include "records/date_time.h"

namespace vgx {

// The engine's view of time: the local calendar clock, and a monotonic clock for waits.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;
    virtual std::chrono::steady_clock::time_point Monotonic() const = 0;
};

class SystemClock final : public Clock {
public:
    LocalTime Now() const override;
    std::chrono::steady_clock::time_point Monotonic() const override;
};

}  // namespace vgx
