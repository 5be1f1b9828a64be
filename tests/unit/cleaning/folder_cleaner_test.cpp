#include "cleaning/folder_cleaner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cleaning/protected_folders.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace vgx {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// A program directory with its log, and a separate folder to clean; nothing else is touched.
struct Fixture {
    TempDir program;
    TempDir area;
    test::FakeClock clock{MakeLocalTime(2026, 12, 7, 10, 0)};
    EventLog log{program.path(), clock};

    fs::path Folder() const { return area / "job"; }
    std::string Log() const { return ReadFile(log.FileForDay(DayOf(clock.Now()))); }
    CleanOutcome Clean(const fs::path& folder, std::uint8_t subDirs) {
        return CleanFolder(folder.string(), subDirs, log, program.path());
    }
};

// Files, hidden and read-only files, directories with and without a dot, and links that
// lead out of the folder.
void MakeTree(const fs::path& job, const fs::path& outside) {
    fs::create_directories(job / "gone" / "nested" / "deeper");
    fs::create_directories(job / "keep.d");
    fs::create_directories(outside / "dir");
    WriteFile(outside / "file.txt", "outside");
    WriteFile(outside / "dir" / "inner.txt", "outside");
    WriteFile(job / "a.txt", "a");
    WriteFile(job / "README", "no extension");
    WriteFile(job / ".hidden", "h");
    WriteFile(job / "readonly.txt", "r");
    fs::permissions(job / "readonly.txt", fs::perms::owner_read);
    WriteFile(job / "keep.d" / "f", "kept");
    WriteFile(job / "gone" / "nested" / "deeper" / "f.txt", "x");
    WriteFile(job / "gone" / ".hidden", "x");
    fs::create_directory(job / "gone" / "ro");
    WriteFile(job / "gone" / "ro" / "f", "x");
    fs::permissions(job / "gone" / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    fs::create_symlink(outside / "file.txt", job / "tofile");
    fs::create_directory_symlink(outside / "dir", job / "todir");
    fs::create_directory_symlink(outside / "dir", job / "gone" / "nested" / "todir");
}

void ExpectOutsideUntouched(const fs::path& outside) {
    EXPECT_EQ(ReadFile(outside / "file.txt"), "outside");
    EXPECT_EQ(ReadFile(outside / "dir" / "inner.txt"), "outside");
}

std::set<std::string> Names(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

TEST(CleanFolder, FilesOnlyKeepsEverySubDirectory) {
    Fixture f;
    MakeTree(f.Folder(), f.area / "outside");
    EXPECT_EQ(f.Clean(f.Folder(), 0), CleanOutcome::Cleaned);
    EXPECT_EQ(Names(f.Folder()), (std::set<std::string>{"gone", "keep.d"}));
    EXPECT_EQ(ReadFile(f.Folder() / "gone" / "nested" / "deeper" / "f.txt"), "x");
    ExpectOutsideUntouched(f.area / "outside");
    EXPECT_EQ(f.Log(), "07/12/2026 10:00:00   PASTA DELETADA! -> " + f.Folder().string() + "/\r\n");
}

TEST(CleanFolder, WithSubDirsRemovesThoseWithoutADotAndNeverFollowsLinks) {
    Fixture f;
    MakeTree(f.Folder(), f.area / "outside");
    const auto modeBefore = fs::status(f.Folder()).permissions();
    // A trailing blank as in a fixed-width field, and the separator already there.
    EXPECT_EQ(CleanFolder(f.Folder().string() + "/   ", 1, f.log, f.program.path()),
              CleanOutcome::Cleaned);
    EXPECT_EQ(Names(f.Folder()), (std::set<std::string>{"keep.d"}));
    EXPECT_EQ(ReadFile(f.Folder() / "keep.d" / "f"), "kept");
    EXPECT_EQ(fs::status(f.Folder()).permissions(), modeBefore);
    ExpectOutsideUntouched(f.area / "outside");
    EXPECT_NE(f.Log().find("PASTA DELETADA! -> " + f.Folder().string() + "/\r\n"),
              std::string::npos);
}

TEST(CleanFolder, ReadOnlyDirectoriesOfTheOwnerAreEmptiedToo) {
    // Root is never stopped by modes; the owner's case is checked as an unprivileged user.
    Fixture f;
    MakeTree(f.Folder(), f.area / "outside");
    fs::permissions(f.Folder() / "gone" / "nested", fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(f.Folder() / "gone" / "nested" / "deeper", fs::perms::none);
    const auto run = [&] { return f.Clean(f.Folder(), 1) == CleanOutcome::Cleaned; };
    if (::geteuid() != 0) {
        ASSERT_TRUE(run());
    } else {
        constexpr uid_t kNobody = 65534;
        for (const auto& e : fs::recursive_directory_iterator(f.area.path())) {
            ASSERT_EQ(::lchown(e.path().c_str(), kNobody, kNobody), 0);
        }
        ASSERT_EQ(::chown(f.area.path().c_str(), kNobody, kNobody), 0);
        ASSERT_EQ(::chown(f.program.path().c_str(), kNobody, kNobody), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const bool ok = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 && run();
            ::_exit(ok ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(Names(f.Folder()), (std::set<std::string>{"keep.d"}));
}

TEST(CleanFolder, ATenThousandLevelTreeGoesWithFewDescriptors) {
    Fixture f;
    fs::create_directory(f.Folder());
    int fd = ::open(f.Folder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    for (int level = 0; level < 10000; ++level) {
        ASSERT_EQ(::mkdirat(fd, "d", 0755), 0) << level;
        if (level % 1000 == 0)
            ::close(::openat(fd, "file", O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
        ASSERT_GE(fd, 0);
    }
    ::close(fd);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    const CleanOutcome outcome = f.Clean(f.Folder(), 1);
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(outcome, CleanOutcome::Cleaned);
    EXPECT_TRUE(fs::is_empty(f.Folder()));
}

TEST(ProtectedFolders, RefusesSystemPlacesHomesAndTheProgramDirectoryThroughLinks) {
    TempDir program;
    TempDir area;
    TempDir home;
    WriteFile(area / "passwd",
              "someone:x:1000:1000::" + home.path().string() + ":/bin/sh\n#comment\nbroken\n");
    const ProtectedFolders guard(program.path(), area / "passwd");

    for (const char* p : {"/", "/usr", "/usr/", "/etc", "/var", "/bin", "/home", "/root"}) {
        EXPECT_TRUE(guard.Refuses(p)) << p;
    }
    EXPECT_TRUE(guard.Refuses(program.path()));
    EXPECT_TRUE(guard.Refuses(home.path()));
    fs::create_directory_symlink("/usr", area / "usr-link");
    fs::create_directory_symlink(program.path(), area / "program-link");
    EXPECT_TRUE(guard.Refuses(area / "usr-link"));
    EXPECT_TRUE(guard.Refuses(area / "program-link"));
    EXPECT_TRUE(guard.Refuses(area.path() / "usr-link" / ".." / "etc"));

    fs::create_directory(program / "logs");
    EXPECT_FALSE(guard.Refuses(program / "logs"));  // inside is allowed
    EXPECT_FALSE(guard.Refuses(area / "missing"));

    // The folders that hold the program directory are refused too.
    fs::create_directories(area / "opt" / "vigiax");
    fs::create_directory(area / "other");
    const ProtectedFolders nested(area / "opt" / "vigiax", area / "passwd");
    EXPECT_TRUE(nested.Refuses(area / "opt"));
    EXPECT_TRUE(nested.Refuses(area.path()));
    EXPECT_FALSE(nested.Refuses(area / "other"));

    EXPECT_EQ(ProtectedFolders::HomesIn("a:x:1:1::/srv/a:/bin/sh\nb:x:2:2::/b\n"),
              (std::vector<std::string>{"/srv/a", "/home/a", "/b", "/home/b"}));
}

TEST(CleanFolder, RefusesTheProgramDirectoryReachedThroughALink) {
    Fixture f;
    WriteFile(f.program / "vgx.cfg", "settings");
    fs::create_directory_symlink(f.program.path(), f.Folder());
    EXPECT_EQ(f.Clean(f.Folder(), 1), CleanOutcome::Refused);
    EXPECT_EQ(ReadFile(f.program / "vgx.cfg"), "settings");
    EXPECT_EQ(f.Log(), "07/12/2026 10:00:00   PASTA PROTEGIDA! -> " + f.Folder().string() + "\r\n");
}

// Mounts for the length of a test; unmounted on every way out.
struct Mount {
    Mount(const fs::path& where, const char* type, const char* source, unsigned long flags)
        : target(where),
          ok(::mount(source, where.c_str(), type, flags, nullptr) == 0),
          error(errno) {}
    ~Mount() {
        if (ok)
            ::umount2(target.c_str(), MNT_DETACH);
    }
    fs::path target;
    bool ok;
    int error;
};

TEST(CleanFolder, LeavesMountsInsideTheFolderAlone) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a tmpfs needs root";
    Fixture f;
    fs::create_directories(f.Folder() / "tmpfs");
    fs::create_directories(f.Folder() / "sub" / "bind");
    fs::create_directories(f.area / "elsewhere");
    WriteFile(f.area / "elsewhere" / "kept", "kept");
    Mount tmpfs(f.Folder() / "tmpfs", "tmpfs", "vgx-test", 0);
    if (!tmpfs.ok)
        GTEST_SKIP() << "mount(tmpfs) failed: " << std::strerror(tmpfs.error);
    // A bind mount of the same file system: only the mount id tells it apart.
    Mount bind(f.Folder() / "sub" / "bind", nullptr, (f.area / "elsewhere").c_str(), MS_BIND);
    ASSERT_TRUE(bind.ok) << std::strerror(bind.error);
    WriteFile(f.Folder() / "tmpfs" / "kept", "kept");
    WriteFile(f.Folder() / "sub" / "gone", "gone");

    EXPECT_EQ(f.Clean(f.Folder(), 1), CleanOutcome::Cleaned);
    EXPECT_EQ(ReadFile(f.Folder() / "tmpfs" / "kept"), "kept");
    EXPECT_EQ(ReadFile(f.area / "elsewhere" / "kept"), "kept");
    EXPECT_FALSE(fs::exists(f.Folder() / "sub" / "gone"));
    EXPECT_TRUE(fs::exists(f.Folder() / "sub" / "bind"));
}

}  // namespace
}  // namespace vgx
