#pragma once

#include <poll.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "loop/event_loop.h"

namespace vgx::test {

// What the test loops share: timers in the order of their moment and arming, watched
// descriptors, and handles that cancel their entry when dropped.
class TestLoop : public EventLoop {
public:
    LoopHandle At(MonoTime when, std::function<void()> fire) override {
        auto entry = std::make_shared<Entry>(Entry{std::move(fire), nullptr, 0});
        timers_.emplace(std::pair{when, ++sequence_}, entry);
        return std::make_unique<Armed>(entry);
    }
    LoopHandle Watch(int fd, unsigned events, std::function<void(unsigned)> ready) override {
        auto entry = std::make_shared<Entry>(Entry{nullptr, std::move(ready), events});
        watches_.emplace_back(fd, entry);
        return std::make_unique<Armed>(entry);
    }
    // Timers armed and not cancelled, and watches held.
    std::size_t Pending() {
        Prune();
        return timers_.size() + watches_.size();
    }

protected:
    // The earliest timer's moment; MonoTime::max() when none is armed.
    MonoTime NextTimer() {
        Prune();
        return timers_.empty() ? MonoTime::max() : timers_.begin()->first.first;
    }
    void FireNext() {
        const auto entry = timers_.begin()->second;
        timers_.erase(timers_.begin());
        auto fire = std::move(entry->fire);
        entry->cancelled = true;
        fire();
    }
    // One poll(2) of the watched descriptors for up to `waitMs`; true when a callback ran.
    bool PollWatches(int waitMs) {
        Prune();
        const auto watches = watches_;  // a callback may drop its own handle or others
        std::vector<pollfd> fds;
        for (const auto& [fd, entry] : watches)
            fds.push_back({fd,
                           static_cast<short>(((entry->events & kFdRead) ? POLLIN : 0) |
                                              ((entry->events & kFdWrite) ? POLLOUT : 0)),
                           0});
        if (::poll(fds.data(), fds.size(), waitMs) <= 0)
            return false;
        bool ran = false;
        for (std::size_t i = 0; i < fds.size(); ++i) {
            const unsigned ready =
                ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) ? unsigned{kFdRead} : 0U) |
                ((fds[i].revents & POLLOUT) ? unsigned{kFdWrite} : 0U);
            if (ready != 0 && !watches[i].second->cancelled) {
                watches[i].second->ready(ready);
                ran = true;
            }
        }
        return ran;
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
    void Prune() {
        std::erase_if(timers_, [](const auto& t) { return t.second->cancelled; });
        std::erase_if(watches_, [](const auto& w) { return w.second->cancelled; });
    }

    std::multimap<std::pair<MonoTime, std::uint64_t>, std::shared_ptr<Entry>> timers_;
    std::vector<std::pair<int, std::shared_ptr<Entry>>> watches_;
    std::uint64_t sequence_ = 0;
};

}  // namespace vgx::test
