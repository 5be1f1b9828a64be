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

// A copy of a program in a folder of its own (its program directory), started and watched by
// a test; killed if it still runs at the end.
class ProgramRun {
public:
    ProgramRun(const std::filesystem::path& program, const std::filesystem::path& dir);
    ~ProgramRun();

    // Starts the copy offscreen; `prefix` runs it through another command (e.g. ip netns exec);
    // `args` follow the executable.
    void Start(const std::vector<std::string>& prefix = {},
               const std::vector<std::string>& env = {}, const std::vector<std::string>& args = {});
    void Signal(int sig) const;
    // Exit status once the process has ended within the time, or nothing.
    std::optional<int> WaitExit(std::chrono::milliseconds timeout);
    // SIGTERM, then WaitExit.
    std::optional<int> Stop(std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        Signal(SIGTERM);
        return WaitExit(timeout);
    }
    pid_t Pid() const { return pid_; }

    // Today's log of the program, as it is now, and how often `message` is in it.
    std::string Log() const;
    long Logged(const std::string& message) const;

private:
    std::filesystem::path dir_;
    std::filesystem::path exe_;
    pid_t pid_ = -1;
};

// Starts `argv` (found on the PATH) with `env` put into its environment ("NAME=value", or
// "NAME" to take one out), in `dir` when given.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::filesystem::path& dir = {});

// Polls `ready` until it holds or the time runs out.
bool WaitFor(const std::function<bool()>& ready, std::chrono::milliseconds timeout,
             std::chrono::milliseconds every = std::chrono::milliseconds(20));

// How often `part` is in `text`.
long Occurrences(const std::string& text, const std::string& part);

// Writes vgx.cfg in `dir`: the program's defaults with `change` applied, saved today.
void WriteSettings(const std::filesystem::path& dir, const std::function<void(Settings&)>& change);

// The page of the web-check tests, and the line its failure logs.
inline const std::string kTestPage = "http://127.0.0.1/pagina.htm";
inline const std::string kPageFailure = "FALHA IIS: " + kTestPage;
// WriteSettings with the web check on kTestPage before `change`.
void WriteWebCheck(
    const std::filesystem::path& dir,
    const std::function<void(Settings&)>& change = [](Settings&) {});
// The environment entry that sends the program's web check to `port`.
inline std::string HttpPortEnv(std::uint16_t port) {
    return "VGX_TEST_HTTP_PORT=" + std::to_string(port);
}

}  // namespace vgx::test
