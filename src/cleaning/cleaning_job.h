#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vgx {

// Longest prefix of `text` of at most `maxBytes` bytes that does not split a UTF-8 character.
std::string_view CutToCharBoundary(std::string_view text, std::size_t maxBytes);

// A fixed-width text field as it sits in folder.dat: N bytes, NUL until assigned,
// then the text cut to N bytes (on a character boundary) and padded with spaces.
template <std::size_t N>
class FixedText {
public:
    static constexpr std::size_t kSize = N;

    void Assign(std::string_view text) {
        const std::string_view cut = CutToCharBoundary(text, N);
        bytes_.fill(' ');
        cut.copy(bytes_.data(), cut.size());
    }
    // The text with blanks trimmed from both ends and NUL bytes removed.
    std::string Text() const { return TrimField(std::string_view(bytes_.data(), N)); }

    const std::array<char, N>& Bytes() const { return bytes_; }
    std::array<char, N>& Bytes() { return bytes_; }

    static std::string TrimField(std::string_view raw);

private:
    std::array<char, N> bytes_{};
};

template <std::size_t N>
std::string FixedText<N>::TrimField(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (char c : raw) {
        if (c != '\0')
            out.push_back(c);
    }
    const auto first = out.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const auto last = out.find_last_not_of(' ');
    return out.substr(first, last - first + 1);
}

enum class JobKind : std::uint8_t { Daily = 0, AtStart = 1, Weekly = 2, Hourly = 3, Monthly = 4 };

inline constexpr std::uint8_t kSubDirsMarkedForRemoval = 2;

// One cleaning job, field for field as stored in folder.dat.
struct CleaningJob {
    FixedText<1024> Path;
    std::uint8_t SubDirs = 0;  // 0 files only, 1 with sub-directories, 2 marked for removal
    std::uint8_t Kind = 0;     // a JobKind value; anything else is never due
    FixedText<5> Hour;         // "hh:nn"
    FixedText<15> Days;        // by kind: "2#4#6", "4", "07"
    float LastRun = 0;         // seconds since midnight of the last run; 0 = not run today
};

// The program-wide table. It always has at least one slot; it holds no jobs exactly when its
// last slot is empty.
using CleaningJobs = std::vector<CleaningJob>;

bool IsEmptySlot(const CleaningJob& job);
bool HasNoJobs(const CleaningJobs& jobs);
// Number of jobs the list shows and the scheduler walks: 0 when the table holds none.
std::size_t JobCount(const CleaningJobs& jobs);

// The leading decimal number of a text, blanks skipped, the rest ignored; 0 when there is none.
long NumberValue(std::string_view text);

// "h:m" with one or two digits each, a real time of day; minutes since midnight.
std::optional<int> ParseHourMinutes(std::string_view text);

}  // namespace vgx
