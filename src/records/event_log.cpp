#include "records/event_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "records/file_io.h"

namespace vgx {

std::uint8_t FolderExists(const std::filesystem::path& path, bool create) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return 1;
    if (errno != ENOENT)
        return 0;
    if (!create)
        return 0;
    return ::mkdir(path.c_str(), 0755) == 0 ? 3 : 0;
}

EventLog::EventLog(std::filesystem::path programDir, const Clock& clock)
    : programDir_(std::move(programDir)), clock_(clock) {}

std::filesystem::path EventLog::LogFolder() const {
    return programDir_ / "logs";
}

std::filesystem::path EventLog::FileForDay(LocalDays day) const {
    return LogFolder() / (FormatDateCompact(day) + ".txt");
}

bool EventLog::WriteLog(std::string_view message) const {
    FolderExists(LogFolder(), true);
    const std::filesystem::path file = FileForDay(DayOf(clock_.Now()));
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    bool ok = false;
    int err = 0;
    if (fd >= 0) {
        std::string line = FormatDateTimeSeconds(clock_.Now());
        line += "   ";
        line += message;
        line += "\r\n";
        ok = WriteAll(fd, line);
        err = errno;
        if (::close(fd) != 0 && ok) {
            ok = false;
            err = errno;
        }
    } else {
        err = errno;
    }
    if (!ok && !failing_) {
        std::fprintf(stderr, "vigiax: o log %s não pôde ser gravado: %s\n", file.c_str(),
                     std::strerror(err));
    }
    failing_ = !ok;
    return ok;
}

}  // namespace vgx
