#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "probes/http_probe.h"
#include "probes/icmp_probe.h"
#include "probes/ipv4_text.h"
#include "records/clock.h"

namespace vgx::test {

// Answers each echo `echoTime` later with `answer`, its status taken from `status` for the
// addresses listed there; records each address and the clock's time.
struct FakeIcmp final : IcmpSender {
    FakeIcmp(EventLoop& l, const Clock& c) : loop(l), clock(c) {}
    LoopHandle Echo(std::uint32_t address, std::string_view, std::chrono::milliseconds,
                    std::function<void(EchoResult)> done) override {
        echoes.push_back(DottedAddressOf(address));
        starts.push_back(clock.Now());
        if (onEcho)
            onEcho();
        EchoResult r = answer;
        if (const auto it = status.find(echoes.back()); it != status.end())
            r.status = it->second;
        return loop.After(echoTime, [r, done = std::move(done)] { done(r); });
    }
    EventLoop& loop;
    const Clock& clock;
    EchoResult answer;
    std::map<std::string, std::int32_t> status;
    std::vector<std::string> echoes;
    std::vector<LocalTime> starts;
    std::chrono::milliseconds echoTime{10};
    std::function<void()> onEcho;
};

// A name resolves to itself `delay` later, unless `answers` lists it.
struct FakeResolver final : Resolver {
    explicit FakeResolver(EventLoop& l) : loop(l) {}
    LoopHandle Resolve(const std::string& host, std::function<void(ResolveResult)> done) override {
        const auto it = answers.find(host);
        const ResolveResult r = it == answers.end() ? ResolveResult{host, 0} : it->second;
        return loop.After(delay, [r, done = std::move(done)] { done(r); });
    }
    EventLoop& loop;
    std::map<std::string, ResolveResult> answers;
    std::chrono::milliseconds delay{0};
};

// Answers each HEAD request `answerTime` later with `answer`; records "host|path".
struct FakeHttp final : HttpClient {
    explicit FakeHttp(EventLoop& l) : loop(l) {}
    LoopHandle Head(const std::string& host, const std::string& path,
                    std::function<void(HttpHeadResult)> done) override {
        requests.push_back(host + "|" + path);
        return loop.After(answerTime, [r = answer, done = std::move(done)] { done(r); });
    }
    EventLoop& loop;
    HttpHeadResult answer{true, "200", 0};
    std::chrono::milliseconds answerTime{5};
    std::vector<std::string> requests;
};

}  // namespace vgx::test
