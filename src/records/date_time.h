#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace vgx {

// Local wall-clock time, as the user's calendar and clock show it.
using LocalTime = std::chrono::local_time<std::chrono::milliseconds>;
using LocalDays = std::chrono::local_days;

struct CivilTime {
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

CivilTime ToCivil(LocalTime t);
LocalTime MakeLocalTime(int year, unsigned month, unsigned day, int hour = 0, int minute = 0,
                        int second = 0, int millisecond = 0);
LocalDays DayOf(LocalTime t);
// 1 = Sunday ... 7 = Saturday.
int WeekdayNumber(LocalDays day);
double SecondsSinceMidnight(LocalTime t);

std::string FormatDate(LocalDays day);           // dd/mm/yyyy
std::string FormatDateCompact(LocalDays day);    // ddmmyyyy
std::string FormatDateTimeMinutes(LocalTime t);  // dd/mm/yyyy hh:mm
std::string FormatDateTimeSeconds(LocalTime t);  // dd/mm/yyyy hh:mm:ss
// Strict day/month/year: one or two digits for day and month, four for the year,
// a real calendar date and nothing else.
std::optional<LocalDays> ParseDate(std::string_view text);

}  // namespace vgx
