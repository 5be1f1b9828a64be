#include "records/date_time.h"

#include <cstdio>

namespace vgx {

using namespace std::chrono;

CivilTime ToCivil(LocalTime t) {
    const auto days = floor<std::chrono::days>(t);
    const year_month_day ymd{days};
    const hh_mm_ss<milliseconds> hms{t - days};
    CivilTime c;
    c.year = static_cast<int>(ymd.year());
    c.month = static_cast<unsigned>(ymd.month());
    c.day = static_cast<unsigned>(ymd.day());
    c.hour = static_cast<int>(hms.hours().count());
    c.minute = static_cast<int>(hms.minutes().count());
    c.second = static_cast<int>(hms.seconds().count());
    c.millisecond = static_cast<int>(hms.subseconds().count());
    return c;
}

LocalTime MakeLocalTime(int y, unsigned m, unsigned d, int hour, int minute, int second,
                        int millisecond) {
    const local_days day{year{y} / month{m} / std::chrono::day{d}};
    return LocalTime{day} + hours{hour} + minutes{minute} + seconds{second} +
           milliseconds{millisecond};
}

LocalDays DayOf(LocalTime t) {
    return floor<days>(t);
}

int WeekdayNumber(LocalDays day) {
    return static_cast<int>(weekday{day}.c_encoding()) + 1;
}

double SecondsSinceMidnight(LocalTime t) {
    return duration<double>(t - DayOf(t)).count();
}

std::string FormatDate(LocalDays day) {
    const CivilTime c = ToCivil(LocalTime{day});
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u/%02u/%04d", c.day, c.month, c.year);
    return buf;
}

std::string FormatDateCompact(LocalDays day) {
    const CivilTime c = ToCivil(LocalTime{day});
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u%02u%04d", c.day, c.month, c.year);
    return buf;
}

std::string FormatDateTimeMinutes(LocalTime t) {
    const CivilTime c = ToCivil(t);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02u/%02u/%04d %02d:%02d", c.day, c.month, c.year, c.hour,
                  c.minute);
    return buf;
}

std::string FormatDateTimeSeconds(LocalTime t) {
    const CivilTime c = ToCivil(t);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02u/%02u/%04d %02d:%02d:%02d", c.day, c.month, c.year, c.hour,
                  c.minute, c.second);
    return buf;
}

namespace {

// Reads between min and max digits at pos; -1 when the count is outside that range.
int ReadNumber(std::string_view text, size_t& pos, size_t minDigits, size_t maxDigits) {
    int value = 0;
    size_t n = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && n < maxDigits) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++n;
    }
    return n >= minDigits ? value : -1;
}

}  // namespace

std::optional<LocalDays> ParseDate(std::string_view text) {
    size_t pos = 0;
    const int d = ReadNumber(text, pos, 1, 2);
    if (d < 0 || pos >= text.size() || text[pos++] != '/')
        return std::nullopt;
    const int m = ReadNumber(text, pos, 1, 2);
    if (m < 0 || pos >= text.size() || text[pos++] != '/')
        return std::nullopt;
    const int y = ReadNumber(text, pos, 4, 4);
    if (y < 0 || pos != text.size())
        return std::nullopt;
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(m)},
                             day{static_cast<unsigned>(d)}};
    if (!ymd.ok())
        return std::nullopt;
    return local_days{ymd};
}

}  // namespace vgx
