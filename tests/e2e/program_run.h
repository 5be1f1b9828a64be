#pragma once

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "records/settings.h"

namespace vgx::test {

// A copy of a program in a folder of its own, started and watched by a test.
class ProgramRun {
public:
    // Copies `program` into `dir` (its program directory).
    ProgramRun(const std::filesystem::path& program, const std::filesystem::path& dir);
    ~ProgramRun();

    // Starts the copy offscreen; `prefix` runs it through another command (e.g. ip netns exec);
    // `args` follow the executable.
    void Start(const std::vector<std::string>& prefix = {},
               const std::vector<std::string>& env = {}, const std::vector<std::string>& args = {});
    void Signal(int sig);
    // Exit status once the process has ended within the time, or nothing.
    std::optional<int> WaitExit(std::chrono::milliseconds timeout);
    bool Running() const { return pid_ > 0; }

    const std::filesystem::path& Dir() const { return dir_; }
    std::filesystem::path Executable() const { return exe_; }

private:
    std::filesystem::path dir_;
    std::filesystem::path exe_;
    pid_t pid_ = -1;
};

// Polls `ready` every 50 ms until it holds or the time runs out.
bool WaitFor(const std::function<bool()>& ready, std::chrono::milliseconds timeout);

// Today's log file name as the program writes it, e.g. "05122026.txt".
std::string TodaysLogName();
std::string TodaysDate();  // dd/mm/yyyy

// Writes vgx.cfg in `dir`: the program's defaults with `change` applied, saved today.
void WriteSettings(const std::filesystem::path& dir, const std::function<void(Settings&)>& change);

}  // namespace vgx::test
