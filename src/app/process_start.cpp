#include "app/process_start.h"

#include <sys/resource.h>

#include <initializer_list>

namespace vgx {

sigset_t ControlSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int sig : {SIGTERM, SIGINT, SIGUSR1, SIGUSR2})
        sigaddset(&set, sig);
    return set;
}

void PrepareProcess() {
    const sigset_t control = ControlSignals();
    ::sigprocmask(SIG_BLOCK, &control, nullptr);
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
}

}  // namespace vgx
