#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "records/event_log.h"
#include "support/temp_dir.h"

namespace vgx::test {

// The messages of a log's lines, without their time stamps and line ends.
inline std::vector<std::string> LogMessages(const std::string& text) {
    std::vector<std::string> messages;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find("\r\n", at), text.size());
        const std::string line = text.substr(at, end - at);
        messages.push_back(line.substr(std::min<std::size_t>(22, line.size())));
        at = end + 2;
    }
    return messages;
}

// The text of the day's log file of `log` at the clock's date.
inline std::string TodaysLog(const EventLog& log, const Clock& clock) {
    return ReadFile(log.FileForDay(DayOf(clock.Now())));
}

}  // namespace vgx::test
