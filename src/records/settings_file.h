#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "records/date_time.h"
#include "records/file_io.h"
#include "records/settings.h"

namespace vgx {

inline constexpr int kSettingsFieldCount = 20;
inline constexpr const char* kSettingsFileName = "vgx.cfg";

// Reads the fields of vgx.cfg one at a time. A field ends at a comma or a line end (CR LF, LF
// or CR); a quoted field runs to its closing quote (line ends included) and loses its quotes;
// blanks around an unquoted field are skipped.
class SettingsFieldReader {
public:
    explicit SettingsFieldReader(std::string_view text) : text_(text) {}

    // The next field, or nothing once the text is used up.
    std::optional<std::string> Next();

private:
    void SkipPastDelimiter();

    std::string_view text_;
    std::size_t pos_ = 0;
};

// The leading number of the text, as a person would read it ("12abc" is 12, "abc" is 0),
// rounded half to even; nothing when it does not fit in 16 bits.
std::optional<std::int16_t> LeadingInt16(std::string_view text);
// Whole decimal numbers only (blanks around allowed); nothing for anything else.
std::optional<std::int16_t> StrictInt16(std::string_view text);
std::optional<std::uint8_t> StrictUint8(std::string_view text);
// A finite number in invariant form ("-12", "4530.5", "1e3").
std::optional<float> StrictFloat(std::string_view text);

// A value with every double quote removed, so that it can be stored between quotes.
std::string WithoutQuotes(std::string_view text);
// Shortest text that reads back as the same float, never in exponent form; 0 for NaN or infinity.
std::string FormatFloat(float value);

// The twenty CR LF lines of vgx.cfg; line 10 is `today`.
std::string FormatSettingsFile(const Settings& settings, LocalDays today);

}  // namespace vgx
