#pragma once

#include <poll.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "loop/event_loop.h"
#include "support/fake_clock.h"

namespace vgx::test {

// An event loop on the fake clock's virtual time: running it jumps from one timer to the next,
// so minutes of waits pass in microseconds. Watched descriptors are real and looked at (without
// waiting) at every step.
class FakeLoop final : public EventLoop {
public:
    explicit FakeLoop(FakeClock& clock) : clock_(clock) {}

    MonoTime Now() const override { return clock_.Monotonic(); }

    LoopHandle At(MonoTime when, std::function<void()> fire) override {
        auto entry = std::make_shared<Entry>(Entry{std::move(fire), nullptr, 0});
        timers_.emplace(Key{when, ++sequence_}, entry);
        return std::make_unique<Armed>(entry);
    }

    LoopHandle Watch(int fd, unsigned events, std::function<void(unsigned)> ready) override {
        auto entry = std::make_shared<Entry>(Entry{nullptr, std::move(ready), events});
        watches_.emplace_back(fd, entry);
        return std::make_unique<Armed>(entry);
    }

    // Runs whatever is due at the current moment, then moves time to each later timer in turn
    // until `span` has passed; time ends at now + span.
    void RunFor(std::chrono::milliseconds span) {
        RunUntil(Now() + span, [] { return false; });
    }
    // As RunFor, but stops as soon as `done` holds (checked after each callback). False when the
    // time ran out first.
    bool RunUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds limit = std::chrono::hours(24 * 40)) {
        return RunUntil(Now() + limit, done);
    }
    // Timers armed and not cancelled, and watches held.
    std::size_t Pending() {
        Prune();
        return timers_.size() + watches_.size();
    }

private:
    struct Entry {
        std::function<void()> fire;
        std::function<void(unsigned)> ready;
        unsigned events;
        bool cancelled = false;
    };
    struct Armed final : LoopRegistration {
        explicit Armed(std::shared_ptr<Entry> e) : entry(std::move(e)) {}
        ~Armed() override { entry->cancelled = true; }
        std::shared_ptr<Entry> entry;
    };
    using Key = std::pair<MonoTime, std::uint64_t>;

    void Prune() {
        std::erase_if(timers_, [](const auto& t) { return t.second->cancelled; });
        std::erase_if(watches_, [](const auto& w) { return w.second->cancelled; });
    }

    // One round of the real descriptors; true when any callback ran.
    bool PollWatches() {
        bool ran = false;
        for (const auto& [fd, entry] : std::vector(watches_)) {
            if (entry->cancelled)
                continue;
            pollfd p{fd, 0, 0};
            p.events = static_cast<short>(((entry->events & kFdRead) ? POLLIN : 0) |
                                          ((entry->events & kFdWrite) ? POLLOUT : 0));
            if (::poll(&p, 1, 0) != 1)
                continue;
            unsigned ready = 0;
            if (p.revents & (POLLIN | POLLHUP | POLLERR))
                ready |= kFdRead;
            if (p.revents & POLLOUT)
                ready |= kFdWrite;
            ready &= entry->events | kFdRead;
            if (ready == 0)
                continue;
            auto keep = entry;  // the callback may drop its own handle
            keep->ready(ready);
            ran = true;
        }
        Prune();
        return ran;
    }

    bool RunUntil(MonoTime end, const std::function<bool()>& done) {
        for (;;) {
            if (done())
                return true;
            if (PollWatches())
                continue;
            Prune();
            if (timers_.empty() || timers_.begin()->first.first > end)
                break;
            auto it = timers_.begin();
            const MonoTime when = it->first.first;
            auto entry = it->second;
            timers_.erase(it);
            if (when > Now())
                clock_.Advance(std::chrono::ceil<std::chrono::milliseconds>(when - Now()));
            auto fire = std::move(entry->fire);
            entry->cancelled = true;
            fire();
        }
        if (end > Now())
            clock_.Advance(std::chrono::ceil<std::chrono::milliseconds>(end - Now()));
        return done();
    }

    FakeClock& clock_;
    std::multimap<Key, std::shared_ptr<Entry>> timers_;
    std::vector<std::pair<int, std::shared_ptr<Entry>>> watches_;
    std::uint64_t sequence_ = 0;
};

}  // namespace vgx::test
