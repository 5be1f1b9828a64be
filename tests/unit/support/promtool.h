#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace vgx::test {

// Where promtool was found at configure time (scripts/install-deps.sh unpacks it), or empty.
inline std::string PromtoolPath() {
#ifdef VGX_PROMTOOL
    const std::string path = VGX_PROMTOOL;
    if (!path.empty() && ::access(path.c_str(), X_OK) == 0)
        return path;
#endif
    return {};
}

struct ToolRun {
    int status = -1;  // exit status, -1 when it did not exit
    std::string output;
};

// `promtool check metrics` on `text`: its exit status and what it printed.
inline ToolRun PromtoolCheckMetrics(const std::string& promtool, const std::string& text) {
    const TempDir dir;
    WriteFile(dir / "in.prom", text);
    const std::string command = "'" + promtool + "' check metrics <'" + (dir / "in.prom").string() +
                                "' >'" + (dir / "out").string() + "' 2>&1";
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.output = ReadFile(dir / "out");
    return run;
}

}  // namespace vgx::test
