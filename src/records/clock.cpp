#include "records/clock.h"

#include <ctime>

namespace vgx {

LocalTime SystemClock::Now() const {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&secs, &tm);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()) % 1000;
    return MakeLocalTime(tm.tm_year + 1900, static_cast<unsigned>(tm.tm_mon + 1),
                         static_cast<unsigned>(tm.tm_mday), tm.tm_hour, tm.tm_min,
                         tm.tm_sec > 59 ? 59 : tm.tm_sec, static_cast<int>(ms.count()));
}

std::chrono::steady_clock::time_point SystemClock::Monotonic() const {
    return std::chrono::steady_clock::now();
}

}  // namespace vgx
