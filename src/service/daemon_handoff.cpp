#include "service/daemon_handoff.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/engine_builder.h"
#include "service/service_unit.h"
#include "service/system_log.h"

namespace vgx {

bool IsServiceStart(int argc, char** argv) {
    return std::any_of(argv + std::min(argc, 1), argv + argc,
                       [](const char* a) { return std::strcmp(a, kServiceOption) == 0; });
}

int HandOverToDaemon(int argc, char** argv, const char* daemonName) {
    const std::string daemon = (ExecutablePath().parent_path() / daemonName).string();
    std::vector<char*> args(argv, argv + argc);
    args.push_back(nullptr);
    args[0] = const_cast<char*>(daemon.c_str());
    ::execv(daemon.c_str(), args.data());
    const std::string why = daemon + ": " + std::strerror(errno);
    std::fprintf(stderr, "vigiax: %s\n", why.c_str());
    LogEvent(*MakeSyslog(), kEventError, 1, "vigiax --service: " + why);
    return 1;
}

}  // namespace vgx
