#include "program_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "records/settings_file.h"
#include "support/todays_log.h"

namespace vgx::test {

ProgramRun::ProgramRun(const std::filesystem::path& program, const std::filesystem::path& dir)
    : dir_(dir), exe_(dir / program.filename()) {
    // Several copies may run from one program directory: the files are copied once.
    if (!std::filesystem::exists(exe_))
        std::filesystem::copy_file(program, exe_);
    const std::filesystem::path daemon = VGX_TEST_DAEMON;
    if (!std::filesystem::exists(dir / daemon.filename()))
        std::filesystem::copy_file(daemon, dir / daemon.filename());
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
    std::vector<std::string> vars = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM=offscreen"};
    vars.insert(vars.end(), env.begin(), env.end());
    pid_ = Spawn(args, vars, dir_);
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

std::string ProgramRun::Log() const {
    const SystemClock clock;
    return TodaysLog(EventLog(dir_, clock), clock);
}

long ProgramRun::Logged(const std::string& message) const {
    return std::ranges::count(LogMessages(Log()), message);
}

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::filesystem::path& dir) {
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    for (const std::string& e : env)
        ::putenv(const_cast<char*>(e.c_str()));
    if (!dir.empty() && ::chdir(dir.c_str()) != 0)
        ::_exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
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

void WriteSettings(const std::filesystem::path& dir, const std::function<void(Settings&)>& change) {
    Settings s;
    change(s);
    if (!ReplaceFileContents(dir / "vgx.cfg", FormatSettingsFile(s, DayOf(SystemClock().Now()))))
        throw std::runtime_error("vgx.cfg not written");
}

void WriteWebCheck(const std::filesystem::path& dir, const std::function<void(Settings&)>& change) {
    WriteSettings(dir, [&](Settings& s) {
        s.WebCheckEnabled = 1;
        s.WebPage = kTestPage;
        change(s);
    });
}

}  // namespace vgx::test
