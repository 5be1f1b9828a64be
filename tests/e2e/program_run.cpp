#include "program_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <stdexcept>
#include <thread>

#include "records/settings_file.h"

namespace vgx::test {

ProgramRun::ProgramRun(const std::filesystem::path& program, const std::filesystem::path& dir)
    : dir_(dir), exe_(dir / program.filename()) {
    std::filesystem::copy_file(program, exe_, std::filesystem::copy_options::overwrite_existing);
}

ProgramRun::~ProgramRun() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void ProgramRun::Start(const std::vector<std::string>& prefix, const std::vector<std::string>& env,
                       const std::vector<std::string>& programArgs) {
    std::vector<std::string> args = prefix;
    args.push_back(exe_.string());
    args.insert(args.end(), programArgs.begin(), programArgs.end());
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        for (const std::string& e : env)
            ::putenv(const_cast<char*>(e.c_str()));
        if (::chdir(dir_.c_str()) != 0)
            ::_exit(126);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    pid_ = pid;
}

void ProgramRun::Signal(int sig) {
    if (pid_ > 0)
        ::kill(pid_, sig);
}

std::optional<int> ProgramRun::WaitExit(std::chrono::milliseconds timeout) {
    if (pid_ <= 0)
        return std::nullopt;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (true) {
        int status = 0;
        const pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= end)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool WaitFor(const std::function<bool()>& ready, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!ready()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

namespace {

std::string FormatToday(const char* format) {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, format, &tm);
    return buf;
}

}  // namespace

std::string TodaysLogName() {
    return FormatToday("%d%m%Y.txt");
}
std::string TodaysDate() {
    return FormatToday("%d/%m/%Y");
}

void WriteSettings(const std::filesystem::path& dir, const std::function<void(Settings&)>& change) {
    Settings s;
    change(s);
    const LocalDays today = *ParseDate(TodaysDate());
    if (!ReplaceFileContents(dir / "vgx.cfg", FormatSettingsFile(s, today))) {
        throw std::runtime_error("vgx.cfg not written");
    }
}

}  // namespace vgx::test
