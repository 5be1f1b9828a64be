#pragma once

#include <poll.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "loop/event_loop.h"

namespace vgx::test {

// An event loop in real time on poll(2), for tests of code that talks to real sockets, pipes
// and children.
class PollLoop final : public EventLoop {
public:
    MonoTime Now() const override { return MonoClock::now(); }

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

    // Runs callbacks until `done` holds (checked after each) or `limit` has passed; false then.
    bool RunUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds limit = std::chrono::seconds(60)) {
        const MonoTime end = Now() + limit;
        while (!done()) {
            Prune();
            const MonoTime now = Now();
            if (!timers_.empty() && timers_.begin()->first.first <= now) {
                auto it = timers_.begin();
                auto entry = it->second;
                timers_.erase(it);
                auto fire = std::move(entry->fire);
                entry->cancelled = true;
                fire();
                continue;
            }
            if (now >= end)
                return false;
            MonoTime wake = end;
            if (!timers_.empty())
                wake = std::min(wake, timers_.begin()->first.first);
            std::vector<pollfd> fds;
            const auto watches = watches_;
            for (const auto& [fd, entry] : watches) {
                fds.push_back({fd,
                               static_cast<short>(((entry->events & kFdRead) ? POLLIN : 0) |
                                                  ((entry->events & kFdWrite) ? POLLOUT : 0)),
                               0});
            }
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - now);
            if (::poll(fds.data(), fds.size(), static_cast<int>(wait.count())) <= 0)
                continue;
            for (std::size_t i = 0; i < fds.size(); ++i) {
                unsigned ready = 0;
                if (fds[i].revents & (POLLIN | POLLHUP | POLLERR))
                    ready |= kFdRead;
                if (fds[i].revents & POLLOUT)
                    ready |= kFdWrite;
                auto entry = watches[i].second;
                if (ready != 0 && !entry->cancelled)
                    entry->ready(ready);
            }
        }
        return true;
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

    std::multimap<Key, std::shared_ptr<Entry>> timers_;
    std::vector<std::pair<int, std::shared_ptr<Entry>>> watches_;
    std::uint64_t sequence_ = 0;
};

}  // namespace vgx::test
