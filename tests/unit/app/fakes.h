#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/engine.h"
#include "app/ports.h"
#include "probes/http_probe.h"
#include "probes/icmp_probe.h"
#include "probes/ipv4_text.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace vgx::test {

using namespace std::chrono_literals;

// Every pump lets 100 ms pass.
struct FakePump final : EventPump {
    explicit FakePump(FakeClock& c) : clock(c) {}
    void ProcessEvents() override {
        clock.Advance(100ms);
        if (onPump)
            onPump();
    }
    FakeClock& clock;
    std::function<void()> onPump;
};

// Answers per dotted address (unlisted addresses answer); each echo takes `echoTime`.
struct FakeIcmp final : IcmpSender {
    explicit FakeIcmp(FakeClock& c) : clock(c) {}
    EchoResult Echo(std::uint32_t address, std::string_view, std::chrono::milliseconds) override {
        echoes.push_back(DottedAddressOf(address));
        starts.push_back(clock.Now());
        clock.Advance(echoTime);
        const auto it = status.find(echoes.back());
        return {it == status.end() ? 0 : it->second, 0, {}};
    }
    FakeClock& clock;
    std::map<std::string, std::int32_t> status;
    std::vector<std::string> echoes;
    std::vector<LocalTime> starts;
    std::chrono::milliseconds echoTime = 10ms;
};

struct FakeResolver final : Resolver {
    std::string ResolveHost(const std::string& host) override { return host; }
};

struct FakeHttp final : HttpClient {
    HttpHeadResult Head(const std::string& host, const std::string& path) override {
        requests.push_back(host + path);
        return {true, status};
    }
    std::string status = "200";
    std::vector<std::string> requests;
};

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
    bool RunAndWait(const std::vector<std::string>& argv) override {
        runs.push_back(argv);
        return startable;
    }
    std::vector<std::vector<std::string>> runs;
    bool startable = true;
};

struct NoTimers final : Timers {
    void SetInterval(EngineTimer, int) override {}
};

// Questions take the answers queued in `answers`, then No.
struct FakeWindows final : Windows {
    bool MainWindowVisible() const override { return false; }
    bool PanelVisible() const override { return true; }
    void TrayIcon(bool) override {}
    bool TrayExists() const override { return true; }
    void StateChanged() override {}
    void Beep() override { ++beeps; }
    PromptAnswer Message(const Prompt& prompt) override {
        beeps += prompt.Beep ? 1 : 0;
        messages.push_back(prompt.Title + ": " + prompt.Text);
        if (prompt.Buttons == PromptButtons::Ok)
            return PromptAnswer::Ok;
        const PromptAnswer a = answers.empty() ? PromptAnswer::No : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return a;
    }
    void ShowRestartWarning() override { ++warningShows; }
    void HideRestartWarning() override { ++warningHides; }

    int beeps = 0, warningShows = 0, warningHides = 0;
    std::vector<std::string> messages;
    std::deque<PromptAnswer> answers;
};

// A temporary program directory and the fakes both the engine and the watchdog take.
struct FakePorts {
    TempDir dir;
    FakeClock clock;
    FakePump pump{clock};
    FakeIcmp icmpSender{clock};
    FakeResolver resolver;
    FakeHttp httpClient;
    FakePower power;
    FakeRunner runner;
    FakeWindows windows;
};

}  // namespace vgx::test
