#include "records/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "records/unique_fd.h"

namespace vgx {

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::filesystem::path ExecutablePath() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : exe;
}

bool NameIsFree(const std::filesystem::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

std::optional<std::string> ReadFileContents(const std::filesystem::path& file) {
    // Non-blocking, so that a FIFO under the name cannot hold the program up.
    const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    std::string data;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return data;
        data.append(buf, static_cast<std::size_t>(n));
    }
}

namespace {

// The file a save replaces: the name itself, or, when it is a link, the regular file the link
// leads to, so that the link stays a link. Nothing when the link leads to no regular file.
std::optional<std::filesystem::path> SaveTarget(const std::filesystem::path& name) {
    struct stat st {};
    if (::lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return name;
    std::error_code ec;
    std::filesystem::path target = std::filesystem::canonical(name, ec);
    if (ec || ::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return target;
}

}  // namespace

bool ReplaceFileContents(const std::filesystem::path& name, std::string_view data) {
    const std::optional<std::filesystem::path> target = SaveTarget(name);
    if (!target)
        return false;
    const std::filesystem::path& file = *target;
    std::filesystem::path dir = file.parent_path();
    if (dir.empty())
        dir = ".";
    std::string tmp = (dir / (file.filename().string() + ".tmp-XXXXXX")).string();
    UniqueFd fd(::mkostemp(tmp.data(), O_CLOEXEC));
    if (!fd)
        return false;

    struct stat old {};
    const mode_t mode = ::stat(file.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = WriteAll(fd.get(), data) && ::fchmod(fd.get(), mode) == 0 && ::fsync(fd.get()) == 0;
    if (::close(fd.release()) != 0)
        ok = false;
    if (ok && ::rename(tmp.c_str(), file.c_str()) != 0)
        ok = false;
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }
    // Make the rename itself durable; the new contents are already on disk either way.
    if (const UniqueFd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); dirFd)
        ::fsync(dirFd.get());
    return true;
}

}  // namespace vgx
