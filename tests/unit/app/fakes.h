#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/engine.h"
#include "app/ports.h"
#include "support/fake_clock.h"
#include "support/fake_loop.h"
#include "support/fake_probes.h"
#include "support/temp_dir.h"

namespace vgx::test {

using namespace std::chrono_literals;

struct FakePower final : PowerControl {
    bool EnableShutdownPrivilege() override {
        ++privilegeRequests;
        return privileged;
    }
    void RestartComputer() override { ++restarts; }
    bool privileged = true;
    int privilegeRequests = 0, restarts = 0;
};

struct FakeRunner final : ProcessRunner {
    explicit FakeRunner(EventLoop& l) : loop(l) {}
    LoopHandle Run(const std::vector<std::string>& argv,
                   std::function<void(bool)> ended) override {
        runs.push_back(argv);
        return loop.After(1s, [this, ended = std::move(ended)] { ended(startable); });
    }
    EventLoop& loop;
    std::vector<std::vector<std::string>> runs;
    bool startable = true;
};

// Questions take the answers queued in `answers`, then No, a moment later; with `hold` they
// stay open until the test answers them with Answer().
struct FakeWindows final : Windows {
    explicit FakeWindows(EventLoop& l) : loop(l) {}
    bool MainWindowVisible() const override { return false; }
    bool PanelVisible() const override { return true; }
    bool TrayExists() const override { return true; }
    void StateChanged() override {
        if (onStateChanged)
            onStateChanged();
    }
    void Beep() override { ++beeps; }
    // Records the prompt and takes its answer.
    PromptAnswer Next(const Prompt& prompt) {
        beeps += prompt.Beep ? 1 : 0;
        messages.push_back(prompt.Title + ": " + prompt.Text);
        if (prompt.Buttons != PromptButtons::YesNo)
            return PromptAnswer::Ok;
        const PromptAnswer a = answers.empty() ? PromptAnswer::No : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return a;
    }
    LoopHandle Ask(const Prompt& prompt, std::function<void(PromptAnswer)> answered) override {
        const PromptAnswer a = Next(prompt);
        if (hold) {
            open = std::move(answered);
            return loop.After(24h * 365, [] {});
        }
        return loop.After(100ms, [a, answered = std::move(answered)] { answered(a); });
    }
    void Answer(PromptAnswer a) { std::exchange(open, nullptr)(a); }
    void ShowRestartWarning() override { ++warningShows; }
    void HideRestartWarning() override { ++warningHides; }

    EventLoop& loop;
    int beeps = 0, warningShows = 0, warningHides = 0;
    std::vector<std::string> messages;
    std::deque<PromptAnswer> answers;
    bool hold = false;
    std::function<void(PromptAnswer)> open;
    std::function<void()> onStateChanged;
};

// A temporary program directory and the fakes both the engine and the watchdog take.
struct FakePorts {
    TempDir dir;
    FakeClock clock;
    FakeLoop loop{clock};
    FakeIcmp icmpSender{loop, clock};
    FakeResolver resolver{loop};
    FakeHttp httpClient{loop};
    FakePower power;
    FakeRunner runner{loop};
    FakeWindows windows{loop};
};

}  // namespace vgx::test
