#include "records/event_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "records/file_io.h"
#include "records/unique_fd.h"

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

namespace {

void Reserve(std::array<UniqueFd, 2>& reserve) {
    for (UniqueFd& fd : reserve) {
        if (!fd)
            fd.reset(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    }
}

}  // namespace

EventLog::EventLog(std::filesystem::path programDir, const Clock& clock)
    : programDir_(std::move(programDir)), clock_(clock) {
    Reserve(reserve_);
}

std::filesystem::path EventLog::LogFolder() const {
    return programDir_ / "logs";
}

std::filesystem::path EventLog::FileForDay(LocalDays day) const {
    return LogFolder() / (FormatDateCompact(day) + ".txt");
}

namespace {

// The message with each control character written visibly (\r, \n, \t, \x1b), so
// that whatever a path or an address holds, one event stays one line.
std::string Escaped(std::string_view message) {
    std::string out;
    out.reserve(message.size());
    for (const char c : message) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            out += hex;
        }
    }
    return out;
}

// Today's file, opened for appending without following a link, neither for the logs folder
// nor for the file: a link planted there must not lead the program's writes elsewhere.
UniqueFd OpenForAppend(const std::filesystem::path& folder, const std::string& name) {
    const UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!dir)
        return UniqueFd();
    UniqueFd fd(::openat(dir.get(), name.c_str(),
                         O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                         0644));
    struct stat st {};
    if (fd && (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))) {
        fd.reset();
        errno = EINVAL;
    }
    return fd;
}

}  // namespace

bool EventLog::WriteLog(std::string_view message) const {
    FolderExists(LogFolder(), true);
    const std::filesystem::path file = FileForDay(DayOf(clock_.Now()));
    UniqueFd fd = OpenForAppend(LogFolder(), file.filename().string());
    const bool outOfDescriptors = !fd && (errno == EMFILE || errno == ENFILE);
    if (outOfDescriptors) {
        // The reserve makes room for this line, and is taken again after it.
        for (UniqueFd& r : reserve_)
            r.reset();
        fd = OpenForAppend(LogFolder(), file.filename().string());
    }
    bool ok = false;
    int err = errno;
    if (fd) {
        std::string line = FormatDateTimeSeconds(clock_.Now());
        line += "   ";
        line += Escaped(message);
        line += "\r\n";
        ok = WriteAll(fd.get(), line);
        err = errno;
        if (::close(fd.release()) != 0 && ok) {
            ok = false;
            err = errno;
        }
    }
    if (outOfDescriptors)
        Reserve(reserve_);
    if (!ok && !failing_) {
        std::fprintf(stderr, "vigiax: o log %s não pôde ser gravado: %s\n", file.c_str(),
                     std::strerror(err));
    }
    failing_ = !ok;
    return ok;
}

}  // namespace vgx
