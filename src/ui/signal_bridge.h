#pragma once

#include <QSocketNotifier>
#include <functional>
#include <map>
#include <memory>

namespace vgx {

// Turns POSIX signals into calls on the event loop's thread, through a pipe written by the
// signal handler. One bridge at a time; its signals are unblocked for the loop's thread while it
// lives and blocked again when it is destroyed.
class SignalBridge final {
public:
    explicit SignalBridge(std::map<int, std::function<void()>> handlers);
    ~SignalBridge();
    SignalBridge(const SignalBridge&) = delete;
    SignalBridge& operator=(const SignalBridge&) = delete;

private:
    std::map<int, std::function<void()>> handlers_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace vgx
