#include "ui/qt_event_loop.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <memory>

namespace vgx {

namespace {

// Qt objects go with deleteLater: a handle may be dropped inside the object's own signal.
template <class Q>
struct Later {
    void operator()(Q* q) const {
        q->disconnect();
        q->deleteLater();
    }
};

class QtTimer final : public LoopRegistration {
public:
    QtTimer(MonoTime when, std::function<void()> fire)
        : when_(when), fire_(std::move(fire)), timer_(new QTimer) {
        timer_->setSingleShot(true);
        timer_->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer_.get(), &QTimer::timeout, [this] { Timeout(); });
        Arm();
    }
    ~QtTimer() override { timer_->stop(); }

private:
    // QTimer counts in int milliseconds: a far moment is reached in steps.
    void Arm() {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(when_ - MonoClock::now()).count();
        timer_->start(static_cast<int>(std::clamp<long long>(left, 0, INT_MAX / 2)));
    }
    void Timeout() {
        if (MonoClock::now() < when_) {
            Arm();
            return;
        }
        auto fire = std::move(fire_);
        fire();
    }

    MonoTime when_;
    std::function<void()> fire_;
    std::unique_ptr<QTimer, Later<QTimer>> timer_;
};

class QtWatch final : public LoopRegistration {
public:
    QtWatch(int fd, unsigned events, std::function<void(unsigned)> ready)
        : ready_(std::make_shared<std::function<void(unsigned)>>(std::move(ready))) {
        if (events & kFdRead)
            Add(fd, QSocketNotifier::Read, kFdRead);
        if (events & kFdWrite)
            Add(fd, QSocketNotifier::Write, kFdWrite);
    }
    ~QtWatch() override {
        for (auto& n : notifiers_)
            n->setEnabled(false);
    }

private:
    void Add(int fd, QSocketNotifier::Type type, unsigned event) {
        notifiers_.emplace_back(new QSocketNotifier(fd, type));
        QObject::connect(notifiers_.back().get(), &QSocketNotifier::activated, [this, event] {
            auto ready = ready_;  // kept alive should the handle be dropped inside
            (*ready)(event);
        });
    }

    std::shared_ptr<std::function<void(unsigned)>> ready_;
    std::vector<std::unique_ptr<QSocketNotifier, Later<QSocketNotifier>>> notifiers_;
};

}  // namespace

LoopHandle QtEventLoop::At(MonoTime when, std::function<void()> fire) {
    return std::make_unique<QtTimer>(when, std::move(fire));
}

LoopHandle QtEventLoop::Watch(int fd, unsigned events, std::function<void(unsigned)> ready) {
    return std::make_unique<QtWatch>(fd, events, std::move(ready));
}

}  // namespace vgx
