#include "daemon/sd_event_loop.h"

#include <sys/epoll.h>
#include <systemd/sd-event.h>
#include <time.h>

#include <chrono>
#include <memory>

namespace vgx {

namespace {

// One source; disabled and let go with its handle. A callback may drop its own handle: the
// one-shot callbacks are moved out before they run, the repeating ones are kept alive by a copy.
class Source final : public LoopRegistration {
public:
    ~Source() override {
        if (source_ != nullptr) {
            sd_event_source_set_enabled(source_, SD_EVENT_OFF);
            sd_event_source_unref(source_);
        }
    }
    sd_event_source** Slot() { return &source_; }

    std::function<void()> fire;
    std::shared_ptr<std::function<void(unsigned)>> ready;
    std::shared_ptr<std::function<void()>> signal;

private:
    sd_event_source* source_ = nullptr;
};

int OnTime(sd_event_source*, std::uint64_t, void* userdata) {
    auto* s = static_cast<Source*>(userdata);
    auto fire = std::move(s->fire);
    if (fire)
        fire();
    return 0;
}

int OnIo(sd_event_source*, int, std::uint32_t revents, void* userdata) {
    auto* s = static_cast<Source*>(userdata);
    unsigned ready = 0;
    if ((revents & (EPOLLIN | EPOLLHUP | EPOLLERR | EPOLLRDHUP)) != 0)
        ready |= kFdRead;
    if ((revents & EPOLLOUT) != 0)
        ready |= kFdWrite;
    auto keep = s->ready;
    (*keep)(ready);
    return 0;
}

int OnSignal(sd_event_source*, const signalfd_siginfo*, void* userdata) {
    auto keep = static_cast<Source*>(userdata)->signal;
    (*keep)();
    return 0;
}

std::uint64_t Microseconds(MonoTime t) {
    const auto us =
        std::chrono::duration_cast<std::chrono::microseconds>(t.time_since_epoch()).count();
    return us < 0 ? 0 : static_cast<std::uint64_t>(us);
}

}  // namespace

SdEventLoop::SdEventLoop() {
    if (sd_event_new(&event_) < 0)
        event_ = nullptr;
}

SdEventLoop::~SdEventLoop() {
    if (event_ != nullptr)
        sd_event_unref(event_);
}

MonoTime SdEventLoop::Now() const {
    return MonoClock::now();
}

LoopHandle SdEventLoop::At(MonoTime when, std::function<void()> fire) {
    auto s = std::make_unique<Source>();
    s->fire = std::move(fire);
    // Accuracy of a millisecond: on time, and still one wake-up per timer.
    sd_event_add_time(event_, s->Slot(), CLOCK_MONOTONIC, Microseconds(when), 1000, OnTime,
                      s.get());
    return s;
}

LoopHandle SdEventLoop::Watch(int fd, unsigned events, std::function<void(unsigned)> ready) {
    auto s = std::make_unique<Source>();
    s->ready = std::make_shared<std::function<void(unsigned)>>(std::move(ready));
    std::uint32_t mask = 0;
    if ((events & kFdRead) != 0)
        mask |= EPOLLIN;
    if ((events & kFdWrite) != 0)
        mask |= EPOLLOUT;
    sd_event_add_io(event_, s->Slot(), fd, mask, OnIo, s.get());
    return s;
}

LoopHandle SdEventLoop::Signal(int sig, std::function<void()> received) {
    auto s = std::make_unique<Source>();
    s->signal = std::make_shared<std::function<void()>>(std::move(received));
    sd_event_add_signal(event_, s->Slot(), sig, OnSignal, s.get());
    return s;
}

void SdEventLoop::KeepServiceManagerInformed() {
    sd_event_set_watchdog(event_, 1);
}

int SdEventLoop::Run() {
    return sd_event_loop(event_);
}

void SdEventLoop::Exit(int code) {
    sd_event_exit(event_, code);
}

}  // namespace vgx
