#include "cleaning/cleaning_job.h"

namespace vgx {

std::string_view CutToCharBoundary(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0U) == 0x80U)
        --end;
    return text.substr(0, end);
}

bool IsEmptySlot(const CleaningJob& job) {
    return job.Path.Text().empty();
}

bool HasNoJobs(const CleaningJobs& jobs) {
    return jobs.empty() || IsEmptySlot(jobs.back());
}

std::size_t JobCount(const CleaningJobs& jobs) {
    return HasNoJobs(jobs) ? 0 : jobs.size();
}

long NumberValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > 100000000L)
            break;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::optional<int> ParseHourMinutes(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const auto readPart = [](std::string_view part) -> int {
        if (part.empty() || part.size() > 2)
            return -1;
        int v = 0;
        for (char c : part) {
            if (c < '0' || c > '9')
                return -1;
            v = v * 10 + (c - '0');
        }
        return v;
    };
    const int h = readPart(text.substr(0, colon));
    const int m = readPart(text.substr(colon + 1));
    if (h < 0 || h > 23 || m < 0 || m > 59)
        return std::nullopt;
    return h * 60 + m;
}

}  // namespace vgx
