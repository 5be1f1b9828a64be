#include "cleaning/folder_cleaner.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "cleaning/cleaning_job.h"
#include "cleaning/protected_folders.h"
#include "records/unique_fd.h"

namespace vgx {

namespace {

constexpr unsigned kStatMask = STATX_TYPE | STATX_MODE | STATX_INO | STATX_MNT_ID;

struct Identity {
    dev_t dev = 0;
    ino_t ino = 0;
    std::uint64_t mount = 0;  // 0 when the kernel does not report mount ids
    mode_t mode = 0;

    bool SameObject(const Identity& o) const { return dev == o.dev && ino == o.ino; }
    bool SameFileSystem(const Identity& o) const { return dev == o.dev && mount == o.mount; }
};

bool StatAt(int dirfd, const char* name, int flags, Identity& id) {
    struct statx stx {};
    if (::statx(dirfd, name, flags | AT_NO_AUTOMOUNT, kStatMask, &stx) != 0)
        return false;
    id.dev = makedev(stx.stx_dev_major, stx.stx_dev_minor);
    id.ino = stx.stx_ino;
    id.mount = (stx.stx_mask & STATX_MNT_ID) != 0 ? stx.stx_mnt_id : 0;
    id.mode = stx.stx_mode;
    return true;
}

bool StatFd(int fd, Identity& id) {
    return StatAt(fd, "", AT_EMPTY_PATH, id);
}

struct Entry {
    std::string name;
    unsigned char type;
};

// The names in a directory, read through a fresh descriptor so `dirfd` keeps its offset.
std::vector<Entry> ListEntries(int dirfd) {
    std::vector<Entry> entries;
    UniqueFd fd(::openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd)
        return entries;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(fd.get()), &::closedir);
    if (!dir)
        return entries;
    fd.release();  // the stream owns it now
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string_view n = e->d_name;
        if (n == "." || n == "..")
            continue;
        entries.push_back({std::string(n), e->d_type});
    }
    return entries;
}

// A directory being emptied: its descriptor's mode is widened for the owner at most once.
struct Level {
    std::string name;
    Identity id;
    std::vector<Entry> entries;
    std::size_t next = 0;
    bool modeWidened = false;
};

// unlinkat that, when the directory itself refuses (read-only for its owner), grants the
// owner write and search on it and tries again. Counts what it removed.
bool RemoveEntry(int dirfd, const std::string& name, int flags, Level& level,
                 std::uint64_t& removed) {
    const auto unlink = [&] {
        if (::unlinkat(dirfd, name.c_str(), flags) == 0) {
            ++removed;
            return true;
        }
        return errno == ENOENT;
    };
    if (unlink())
        return true;
    if ((errno != EACCES && errno != EPERM) || level.modeWidened)
        return false;
    level.modeWidened = true;
    if (::fchmod(dirfd, (level.id.mode & 07777) | S_IRWXU) != 0)
        return false;
    return unlink();
}

// Opens the sub-directory `name` of `parent` without following a link, and only when it is
// still the object `expected` (nothing swapped it since it was looked at).
UniqueFd OpenSubdirectory(int parent, const std::string& name, const Identity& expected) {
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    UniqueFd fd(::openat(parent, name.c_str(), kFlags));
    if (!fd && errno == EACCES) {
        // Unreadable for its owner: fix the mode (never through a link) and try again.
        if (::fchmodat(parent, name.c_str(), (expected.mode & 07777) | S_IRWXU,
                       AT_SYMLINK_NOFOLLOW) == 0) {
            fd.reset(::openat(parent, name.c_str(), kFlags));
        }
    }
    Identity got;
    if (fd &&
        (!StatFd(fd.get(), got) || !got.SameObject(expected) || !got.SameFileSystem(expected)))
        fd.reset();
    return fd;
}

bool IsDirectoryEntry(int dirfd, const Entry& e, Identity& id) {
    if (e.type != DT_DIR && e.type != DT_UNKNOWN)
        return false;
    return StatAt(dirfd, e.name.c_str(), AT_SYMLINK_NOFOLLOW, id) && S_ISDIR(id.mode);
}

// What a walk may not touch, and where it says so.
struct Guard {
    const ProtectedFolders& folders;
    const EventLog& log;
    std::string top;  // the job's folder, for the log
    std::uint64_t& removed;

    // A protected folder, or one holding one, met on the way (by another name than the one
    // checked at the start): left alone, and logged.
    bool Refuses(const Identity& id, const std::vector<Level>& stack,
                 const std::string& name) const {
        if (!folders.IsOrHolds(id.dev, id.ino))
            return false;
        std::string path = top;
        for (const Level& l : stack)
            path += "/" + l.name;
        log.WriteLog(kLogFolderProtected + path + "/" + name);
        return true;
    }
};

// Removes the directory `name` of `parentFd` with everything in it, one level at a time with
// one descriptor open besides `parentFd`. Walking back up goes through ".." and stops when
// that is not the directory it came from (the tree was moved during the walk).
void RemoveTree(int parentFd, Level& parentLevel, const std::string& name, const Identity& expected,
                const Identity& fileSystem, const Guard& guard) {
    UniqueFd cur = OpenSubdirectory(parentFd, name, expected);
    if (!cur)
        return;
    std::vector<Level> stack;
    stack.push_back({name, expected, ListEntries(cur.get()), 0, false});

    while (!stack.empty()) {
        Level& top = stack.back();
        if (top.next < top.entries.size()) {
            const Entry& e = top.entries[top.next++];
            Identity id;
            if (!IsDirectoryEntry(cur.get(), e, id)) {
                RemoveEntry(cur.get(), e.name, 0, top, guard.removed);
                continue;
            }
            if (!id.SameFileSystem(fileSystem) || guard.Refuses(id, stack, e.name))
                continue;  // a mount, or a protected folder: left alone
            UniqueFd child = OpenSubdirectory(cur.get(), e.name, id);
            if (!child)
                continue;
            cur = std::move(child);
            stack.push_back({e.name, id, ListEntries(cur.get()), 0, false});
            continue;
        }
        const std::string done = std::move(top.name);
        stack.pop_back();
        if (stack.empty()) {
            cur.reset();
            RemoveEntry(parentFd, done, AT_REMOVEDIR, parentLevel, guard.removed);
            return;
        }
        cur.reset(::openat(cur.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        Identity upId;
        if (!cur || !StatFd(cur.get(), upId) || !upId.SameObject(stack.back().id))
            return;
        RemoveEntry(cur.get(), done, AT_REMOVEDIR, stack.back(), guard.removed);
    }
}

void EmptyFolder(int fd, const Identity& folder, bool withSubDirs, const Guard& guard) {
    Level level{"", folder, ListEntries(fd), 0, false};
    for (const Entry& e : level.entries) {
        Identity id;
        if (!IsDirectoryEntry(fd, e, id)) {
            RemoveEntry(fd, e.name, 0, level, guard.removed);
        } else if (withSubDirs && e.name.find('.') == std::string::npos &&
                   id.SameFileSystem(folder) && !guard.Refuses(id, {}, e.name)) {
            RemoveTree(fd, level, e.name, id, folder, guard);
        }
    }
    if (level.modeWidened)
        ::fchmod(fd, folder.mode & 07777);  // the folder itself is kept
}

std::string FdPath(int fd) {
    char buf[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

std::string Trim(std::string_view text) {
    return FixedText<1>::TrimField(text);
}

}  // namespace

CleanOutcome CleanFolder(std::string Path, std::uint8_t SubDirs, const EventLog& log,
                         const std::filesystem::path& programDir, std::uint64_t* removed) {
    std::uint64_t count = 0;
    std::uint64_t& tally = removed != nullptr ? *removed : count;
    const std::string path = Trim(Path);
    // A relative path would depend on the folder the program was started from.
    if (!path.starts_with('/')) {
        log.WriteLog(kLogFolderProtected + path);
        return CleanOutcome::Refused;
    }
    if (FolderExists(path, false) == 0) {
        log.WriteLog(kLogFolderMissing + path);
        return CleanOutcome::Missing;
    }
    if (const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); fd) {
        // Checked on the open descriptor, so what is emptied is what was checked.
        Identity folder;
        const std::string real = FdPath(fd.get());
        const bool known = StatFd(fd.get(), folder) && !real.empty();
        const ProtectedFolders folders(programDir);
        if (!known || folders.Contains(real, folder.dev, folder.ino)) {
            log.WriteLog(kLogFolderProtected + path);
            return CleanOutcome::Refused;
        }
        const std::string top =
            path.size() > 1 && path.ends_with('/') ? path.substr(0, path.size() - 1) : path;
        EmptyFolder(fd.get(), folder, SubDirs == 1, Guard{folders, log, top, tally});
    }
    log.WriteLog(kLogFolderCleaned + (path.ends_with('/') ? path : path + '/'));
    return CleanOutcome::Cleaned;
}

}  // namespace vgx
