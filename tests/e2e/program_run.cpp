#include "program_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "records/event_log.h"
#include "records/settings_file.h"
#include "support/temp_dir.h"
#include "support/todays_log.h"

namespace vgx::test {

ProgramRun::ProgramRun(const std::filesystem::path& program, const std::filesystem::path& dir)
    : dir_(dir), exe_(dir / program.filename()) {
    // Several copies may run from one program directory: the file is copied once.
    if (!std::filesystem::exists(exe_))
        std::filesystem::copy_file(program, exe_);
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

void ProgramRun::Signal(int sig) const {
    if (pid_ > 0)
        ::kill(pid_, sig);
}

std::optional<int> ProgramRun::WaitExit(std::chrono::milliseconds timeout) {
    int status = 0;
    if (pid_ <= 0 || !WaitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, timeout))
        return std::nullopt;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool WaitFor(const std::function<bool()>& ready, std::chrono::milliseconds timeout,
             std::chrono::milliseconds every) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!ready()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(every);
    }
    return true;
}

long Occurrences(const std::string& text, const std::string& part) {
    long n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

std::string ProgramRun::Log() const {
    const SystemClock clock;
    return ReadFile(EventLog(dir_, clock).FileForDay(DayOf(clock.Now())));
}

long ProgramRun::Logged(const std::string& message) const {
    const auto messages = LogMessages(Log());
    return std::count(messages.begin(), messages.end(), message);
}

std::string TodaysDate() {
    return FormatDate(DayOf(SystemClock().Now()));
}

void WriteSettings(const std::filesystem::path& dir, const std::function<void(Settings&)>& change) {
    Settings s;
    change(s);
    if (!ReplaceFileContents(dir / "vgx.cfg", FormatSettingsFile(s, DayOf(SystemClock().Now()))))
        throw std::runtime_error("vgx.cfg not written");
}

}  // namespace vgx::test
