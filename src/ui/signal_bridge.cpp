#include "ui/signal_bridge.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace vgx {

namespace {

int g_pipe[2] = {-1, -1};

void OnSignal(int sig) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(sig);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

SignalBridge::SignalBridge(std::map<int, std::function<void()>> handlers)
    : handlers_(std::move(handlers)) {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        unsigned char buf[16];
        ssize_t n = 0;
        while ((n = ::read(g_pipe[0], buf, sizeof buf)) > 0) {
            for (ssize_t i = 0; i < n; ++i) {
                if (const auto it = handlers_.find(buf[i]); it != handlers_.end())
                    it->second();
            }
        }
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigset_t handled;
    sigemptyset(&handled);
    for (const auto& [sig, handler] : handlers_) {
        ::sigaction(sig, &sa, nullptr);
        sigaddset(&handled, sig);
    }
    // Blocked since the start of the process (PrepareProcess): what arrived meanwhile is
    // delivered now, to this thread only.
    ::pthread_sigmask(SIG_UNBLOCK, &handled, nullptr);
}

SignalBridge::~SignalBridge() {
    // Blocked again rather than put back to their default action: a signal that arrives while
    // the program ends stays pending, and the program ends with its own exit status.
    sigset_t handled;
    sigemptyset(&handled);
    for (const auto& [sig, handler] : handlers_)
        sigaddset(&handled, sig);
    ::pthread_sigmask(SIG_BLOCK, &handled, nullptr);
    notifier_.reset();
    if (g_pipe[0] >= 0)
        ::close(g_pipe[0]);
    if (g_pipe[1] >= 0)
        ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

}  // namespace vgx
