#include "cleaning/folder_cleaner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

#include "cleaning/protected_folders.h"
#include "records/unique_fd.h"
#include "support/fake_clock.h"
#include "support/todays_log.h"

namespace vgx {
namespace {

namespace fs = std::filesystem;
using test::Names;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// A program directory with its log, and a separate area holding the folder to clean.
struct Fixture {
    TempDir program;
    TempDir area;
    test::FakeClock clock{MakeLocalTime(2026, 12, 7, 10, 0)};
    EventLog log{program.path(), clock};
    fs::path job = area / "job";

    std::string Log() const { return test::TodaysLog(log, clock); }
    CleanOutcome Clean(const std::string& folder, std::uint8_t subDirs) const {
        return CleanFolder(folder, subDirs, log, program.path());
    }
    // Root is never stopped by modes: as root, everything goes to nobody and the clean runs
    // in a child with that identity, so read-only places must really be dealt with.
    bool CleanAsOwner(const std::string& folder, std::uint8_t subDirs) const {
        const auto run = [&] { return Clean(folder, subDirs) == CleanOutcome::Cleaned; };
        if (::geteuid() != 0)
            return run();
        constexpr uid_t kNobody = 65534;
        for (const fs::path& top : {area.path(), program.path()}) {
            for (const auto& e : fs::recursive_directory_iterator(top))
                EXPECT_EQ(::lchown(e.path().c_str(), kNobody, kNobody), 0) << e.path();
            EXPECT_EQ(::chown(top.c_str(), kNobody, kNobody), 0);
        }
        const pid_t pid = ::fork();
        if (pid == 0)
            ::_exit(::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 && run() ? 0 : 1);
        int status = 0;
        return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
               WEXITSTATUS(status) == 0;
    }
};

TEST(CleanFolder, EmptiesFilesThenDotlessSubDirectoriesAndNeverFollowsLinks) {
    Fixture f;
    const fs::path outside = f.area / "outside";
    for (const char* dir : {"job/gone/nested/deeper", "job/keep.d", "outside/dir"})
        fs::create_directories(f.area / dir);
    for (const char* name :
         {"job/a.txt", "job/README", "job/.hidden", "job/readonly.txt", "job/gone/.hidden",
          "job/gone/nested/deeper/f", "job/keep.d/f", "outside/file.txt", "outside/dir/inner.txt"})
        WriteFile(f.area / name, "x");
    fs::permissions(f.job / "readonly.txt", fs::perms::owner_read);
    fs::permissions(f.job / "gone" / "nested", fs::perms::owner_read | fs::perms::owner_exec);
    fs::create_symlink(outside / "file.txt", f.job / "tofile");
    fs::create_directory_symlink(outside / "dir", f.job / "todir");
    fs::create_directory_symlink(outside / "dir", f.job / "gone" / "todir");
    const auto mode = fs::status(f.job).permissions();

    ASSERT_TRUE(f.CleanAsOwner(f.job.string(), 0));
    EXPECT_EQ(Names(f.job), (std::set<std::string>{"gone", "keep.d"}));
    EXPECT_EQ(Names(f.job / "gone"), (std::set<std::string>{".hidden", "nested", "todir"}));

    fs::permissions(f.job / "gone" / "nested" / "deeper", fs::perms::none);
    // A trailing blank as in a fixed-width field, and the separator already there.
    ASSERT_TRUE(f.CleanAsOwner(f.job.string() + "/   ", 1));
    EXPECT_EQ(Names(f.job), (std::set<std::string>{"keep.d"}));
    EXPECT_EQ(ReadFile(f.job / "keep.d" / "f"), "x");
    EXPECT_EQ(fs::status(f.job).permissions(), mode);
    EXPECT_EQ(ReadFile(outside / "file.txt") + ReadFile(outside / "dir" / "inner.txt"), "xx");
    const std::string line = "07/12/2026 10:00:00   PASTA DELETADA! -> " + f.job.string() + "/\r\n";
    EXPECT_EQ(f.Log(), line + line);
}

TEST(CleanFolder, ATenThousandLevelTreeGoesWithFewDescriptors) {
    Fixture f;
    fs::create_directory(f.job);
    UniqueFd fd(::open(f.job.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (int level = 0; level < 10000 && fd; ++level) {
        ASSERT_EQ(::mkdirat(fd.get(), "d", 0755), 0) << level;
        if (level % 1000 == 0)
            UniqueFd(::openat(fd.get(), "file", O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
        fd.reset(::openat(fd.get(), "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
    ASSERT_TRUE(fd);
    fd.reset();

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    const rlimit tight{64, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    const CleanOutcome outcome = f.Clean(f.job.string(), 1);
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(outcome, CleanOutcome::Cleaned);
    EXPECT_TRUE(fs::is_empty(f.job));
}

TEST(ProtectedFolders, RefuseSystemPlacesHomesTheProgramDirectoryWithAllInsideAndWhatHoldsThem) {
    Fixture f;
    const fs::path program = f.area / "opt" / "vigiax", home = f.area / "homes" / "someone";
    fs::create_directories(program / "logs");
    fs::create_directories(home);
    fs::create_directory(f.area / "other");
    WriteFile(f.area / "passwd",
              "someone:x:1000:1000::" + home.string() + ":/bin/sh\n#comment\nbroken\n");
    fs::create_directory_symlink("/usr", f.area / "usr-link");
    fs::create_directory_symlink(program / "logs", f.area / "logs-link");
    const ProtectedFolders guard(program, f.area / "passwd");
    for (const fs::path& p : {fs::path("/"), fs::path("/usr/"), fs::path("/etc"), fs::path("/var"),
                              fs::path("/home"), fs::path("/root"), home, f.area / "homes", program,
                              program / "logs", f.area / "opt", f.area.path(), f.area / "usr-link",
                              f.area / "logs-link", f.area / "usr-link" / ".." / "etc"})
        EXPECT_TRUE(guard.Refuses(p)) << p;
    EXPECT_FALSE(guard.Refuses(f.area / "other"));
    // The running executable's folder too, when the data live elsewhere.
    EXPECT_TRUE(guard.Refuses(fs::read_symlink("/proc/self/exe").parent_path()));
    EXPECT_FALSE(guard.Refuses(f.area / "missing"));
    EXPECT_EQ(ProtectedFolders::HomesIn("a:x:1:1::/srv/a:/bin/sh\nb:x:2:2::/b\n"),
              (std::vector<std::string>{"/srv/a", "/home/a", "/b", "/home/b"}));

    // The cleaner refuses them at run time too, and relative paths, whatever the working
    // folder: started from the program directory, "logs" would be its own log folder.
    for (const fs::path& p : {program / "logs", f.area / "other"})
        WriteFile(p / "kept", "kept");
    const fs::path cwd = fs::current_path();
    fs::current_path(f.area.path());
    std::vector<std::string> expected;
    for (const fs::path& p : {f.area / "opt", f.area / "logs-link", program / "logs",
                              fs::path("other"), fs::path("./other/")}) {
        EXPECT_EQ(CleanFolder(p.string(), 1, f.log, program), CleanOutcome::Refused) << p;
        expected.push_back("PASTA PROTEGIDA! -> " + p.string());
    }
    fs::current_path(cwd);
    EXPECT_EQ(ReadFile(program / "logs" / "kept") + ReadFile(f.area / "other" / "kept"),
              "keptkept");
    EXPECT_EQ(test::LogMessages(f.Log()), expected);
}

// Mounts for the length of a test; unmounted on every way out.
struct Mount {
    Mount(const fs::path& where, const char* type, const char* source, unsigned long flags)
        : target(where), ok(::mount(source, where.c_str(), type, flags, nullptr) == 0) {}
    ~Mount() {
        if (ok)
            ::umount2(target.c_str(), MNT_DETACH);
    }
    fs::path target;
    bool ok;
};

TEST(CleanFolder, LeavesMountsInsideTheFolderAlone) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a tmpfs needs root";
    Fixture f;
    for (const fs::path& d : {f.job / "tmpfs", f.job / "sub" / "bind", f.area / "elsewhere"})
        fs::create_directories(d);
    WriteFile(f.area / "elsewhere" / "kept", "kept");
    Mount tmpfs(f.job / "tmpfs", "tmpfs", "vgx-test", 0);
    if (!tmpfs.ok)
        GTEST_SKIP() << "mount(tmpfs) failed: " << std::strerror(errno);
    // A bind mount of the same file system: only the mount id tells it apart.
    Mount bind(f.job / "sub" / "bind", nullptr, (f.area / "elsewhere").c_str(), MS_BIND);
    ASSERT_TRUE(bind.ok) << std::strerror(errno);
    WriteFile(f.job / "tmpfs" / "kept", "kept");
    WriteFile(f.job / "sub" / "gone", "gone");

    EXPECT_EQ(f.Clean(f.job.string(), 1), CleanOutcome::Cleaned);
    EXPECT_EQ(ReadFile(f.job / "tmpfs" / "kept"), "kept");
    EXPECT_EQ(ReadFile(f.area / "elsewhere" / "kept"), "kept");
    EXPECT_FALSE(fs::exists(f.job / "sub" / "gone"));
    EXPECT_TRUE(fs::exists(f.job / "sub" / "bind"));
}

// Another name for the folder that holds the program directory is refused as that folder is.
TEST(CleanFolder, ABindMountOfWhatHoldsTheProgramDirectoryIsRefused) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "a bind mount needs root";
    Fixture f;
    const fs::path opt = f.area / "opt", program = opt / "vigiax", alias = f.area / "alias";
    fs::create_directories(program);
    fs::create_directory(alias);
    WriteFile(program / "vgx.cfg", "kept");
    WriteFile(opt / "sibling", "kept");
    Mount bind(alias, nullptr, opt.c_str(), MS_BIND);
    ASSERT_TRUE(bind.ok) << std::strerror(errno);
    EXPECT_EQ(CleanFolder(alias.string(), 1, f.log, program), CleanOutcome::Refused);
    EXPECT_EQ(ReadFile(program / "vgx.cfg") + ReadFile(opt / "sibling"), "keptkept");
}

}  // namespace
}  // namespace vgx
