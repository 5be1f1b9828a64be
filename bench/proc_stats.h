// Figures of a running process read from /proc, for the idle and memory benchmarks.
#pragma once

#include <sys/types.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace vgx::bench {

// Time on a CPU so far, in seconds (the scheduler's nanosecond counter).
inline double CpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/schedstat");
    double ns = 0;
    in >> ns;
    return ns / 1e9;
}

inline long RssKb(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return 0;
}

}  // namespace vgx::bench
