#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace vgx {

// Turns SIGTERM and SIGINT into a call on the event loop's thread.
class QuitSignals final {
public:
    explicit QuitSignals(std::function<void()> onQuit);
    ~QuitSignals();

private:
    std::function<void()> onQuit_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace vgx
