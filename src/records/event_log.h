#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "records/clock.h"
#include "records/unique_fd.h"

namespace vgx {

// 1: the path exists (file or folder); 0: it does not, or the test failed;
// 3: it did not exist and was created as a folder (parent folders are not made).
std::uint8_t FolderExists(const std::filesystem::path& path, bool create);

// The daily event log: <program dir>/logs/ddmmyyyy.txt, one open-append-close per line.
class EventLog {
public:
    EventLog(std::filesystem::path programDir, const Clock& clock);

    // Appends "dd/mm/yyyy hh:mm:ss", three blanks, the message and CR LF to today's file.
    // Control characters of the message are written escaped (\n), so one event is one line;
    // neither the logs folder nor the file is reached through a link.
    // Returns false when the line could not be written whole; the first failure after a
    // success is also reported on standard error, so an unwritable log is not silent. A
    // descriptor is kept in reserve, so that a process out of descriptors still logs why.
    bool WriteLog(std::string_view message) const;

    std::filesystem::path LogFolder() const;
    std::filesystem::path FileForDay(LocalDays day) const;

private:
    std::filesystem::path programDir_;
    const Clock& clock_;
    mutable bool failing_ = false;
    mutable std::array<UniqueFd, 2> reserve_;  // the folder's and the file's descriptors
};

}  // namespace vgx
