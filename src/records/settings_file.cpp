#include "records/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace vgx {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDelimiter(char c) {
    return c == ',' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

template <class T>
std::optional<T> ParseWhole(std::string_view text) {
    text = Trim(text);
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::string> SettingsFieldReader::Next() {
    while (pos_ < text_.size() && IsBlank(text_[pos_]))
        ++pos_;
    if (pos_ >= text_.size())
        return std::nullopt;

    if (text_[pos_] == '"') {
        const std::size_t start = pos_ + 1;
        const std::size_t close = text_.find('"', start);
        if (close == std::string_view::npos) {
            pos_ = text_.size();
            return std::string(text_.substr(start));
        }
        pos_ = close + 1;
        SkipPastDelimiter();
        return std::string(text_.substr(start, close - start));
    }

    const std::size_t start = pos_;
    while (pos_ < text_.size() && !IsDelimiter(text_[pos_]))
        ++pos_;
    std::string value(Trim(text_.substr(start, pos_ - start)));
    SkipPastDelimiter();
    return value;
}

// Anything between a closing quote and the delimiter is dropped.
void SettingsFieldReader::SkipPastDelimiter() {
    while (pos_ < text_.size() && !IsDelimiter(text_[pos_]))
        ++pos_;
    if (pos_ >= text_.size())
        return;
    const char c = text_[pos_++];
    if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n')
        ++pos_;
}

std::optional<std::int16_t> LeadingInt16(std::string_view text) {
    // Blanks anywhere are ignored, as a person typing "1 5" means 15.
    std::string s;
    for (const char c : text) {
        if (!IsBlank(c) && c != '\n' && c != '\r')
            s += c;
    }
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    const std::size_t start = i;
    while (i < s.size() && IsDigit(s[i]))
        ++i;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i]))
            ++i;
    }
    if (i - start == 0 || (i - start == 1 && s[start] == '.'))
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '-' || s[j] == '+'))
            ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j]))
                ++j;
            i = j;
        }
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(s.data() + start, s.data() + i, value);
    if (ec != std::errc{} || ptr != s.data() + i)
        return std::nullopt;
    const double rounded = std::nearbyint(negative ? -value : value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::optional<std::int16_t> StrictInt16(std::string_view text) {
    return ParseWhole<std::int16_t>(text);
}

std::optional<std::uint8_t> StrictUint8(std::string_view text) {
    return ParseWhole<std::uint8_t>(text);
}

std::optional<float> StrictFloat(std::string_view text) {
    const auto value = ParseWhole<float>(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

std::string WithoutQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c != '"')
            out += c;
    }
    return out;
}

std::string FormatFloat(float value) {
    if (!std::isfinite(value))
        return "0";
    char buf[128];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (ec != std::errc{})
        return "0";
    return std::string(buf, ptr);
}

std::string FormatSettingsFile(const Settings& s, LocalDays today) {
    std::string out;
    const auto text = [&out](std::string_view value) {
        out += '"';
        out += WithoutQuotes(value);
        out += "\"\r\n";
    };
    const auto number = [&out](int value) {
        out += std::to_string(value);
        out += "\r\n";
    };
    text(s.KeptText);
    text(s.PoolingMinutes);
    text(s.FailureLimit);
    number(s.NetCheckEnabled);
    number(s.RunAsService);
    text(s.NetAddress1);
    text(s.NetAddress2);
    // Line 10 is always today: a count kept for an earlier day would be read back as
    // today's, so it is written as 0.
    number(s.ThresholdDay == today ? s.ThresholdEvents : 0);
    number(s.NetAction);
    text(FormatDate(today));
    text(s.WebPage);
    number(s.WebAction);
    number(s.WebCheckEnabled);
    number(s.RestartAfterWebRestarts);
    out += FormatFloat(s.PanelLeft) + "\r\n";
    out += FormatFloat(s.PanelTop) + "\r\n";
    number(s.ShowPanel);
    number(s.PanelAlwaysOnTop);
    number(s.PanelOpacity);
    number(s.DelayMinutes);
    return out;
}

}  // namespace vgx
