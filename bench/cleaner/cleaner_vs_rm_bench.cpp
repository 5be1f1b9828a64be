// Folder cleaner vs `rm -rf`: each empties a fresh tree of 100 000 small files in 1 000
// sub-directories, five times; prints the medians and their ratio. Works only inside its own
// temporary folder.
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cleaning/folder_cleaner.h"
#include "records/clock.h"
#include "records/event_log.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kFolders = 1000;
constexpr int kFilesPerFolder = 100;
constexpr int kRuns = 5;

void MakeTree(const fs::path& root) {
    fs::create_directory(root);
    for (int d = 0; d < kFolders; ++d) {
        const fs::path dir = root / ("d" + std::to_string(d));
        fs::create_directory(dir);
        const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int f = 0; f < kFilesPerFolder; ++f) {
            const std::string name = "f" + std::to_string(f) + ".txt";
            const int fd = ::openat(dfd, name.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            if (fd >= 0) {
                [[maybe_unused]] const ssize_t n = ::write(fd, "x\n", 2);
                ::close(fd);
            }
        }
        ::close(dfd);
    }
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double RunRm(const fs::path& root) {
    const std::string path = root.string();
    char rm[] = "rm";
    char flag[] = "-rf";
    std::vector<char> arg(path.begin(), path.end());
    arg.push_back('\0');
    char* argv[] = {rm, flag, arg.data(), nullptr};
    const auto start = Clock::now();
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "rm", nullptr, nullptr, argv, environ) != 0)
        return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return Seconds(Clock::now() - start);
}

double RunCleaner(const fs::path& root, const vgx::EventLog& log, const fs::path& programDir) {
    const auto start = Clock::now();
    vgx::CleanFolder(root.string(), 1, log, programDir);
    return Seconds(Clock::now() - start);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    std::string tmpl = (fs::temp_directory_path() / "vgx-bench-cleaner-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr)
        return 1;
    const fs::path base = tmpl;
    const fs::path programDir = base / "program";
    fs::create_directory(programDir);
    const vgx::SystemClock clock;
    const vgx::EventLog log(programDir, clock);

    std::vector<double> cleaner;
    std::vector<double> rm;
    for (int run = 0; run < kRuns; ++run) {
        const fs::path a = base / "cleaner";
        MakeTree(a);
        cleaner.push_back(RunCleaner(a, log, programDir));
        if (!fs::is_empty(a))
            std::fprintf(stderr, "the cleaner left entries behind\n");
        fs::remove_all(a);

        const fs::path b = base / "rm";
        MakeTree(b);
        rm.push_back(RunRm(b));
    }
    fs::remove_all(base);

    const double c = Median(cleaner);
    const double r = Median(rm);
    std::printf("folder cleaner, %d files in %d folders: median %.3f s over %d runs\n",
                kFolders * kFilesPerFolder, kFolders, c, kRuns);
    std::printf("rm -rf (peer), same tree:                median %.3f s over %d runs\n", r, kRuns);
    std::printf("ratio cleaner / rm -rf = %.2f\n", c / r);
    return 0;
}
