#pragma once

#include <arpa/inet.h>
#include <sys/stat.h>

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/ports.h"
#include "probes/http_probe.h"
#include "probes/icmp_probe.h"
#include "support/fake_clock.h"

namespace vgx::test {

using namespace std::chrono_literals;

// Every pump lets 100 ms pass.
class FakePump final : public EventPump {
public:
    explicit FakePump(FakeClock& clock) : clock_(clock) {}
    void ProcessEvents() override {
        ++calls;
        clock_.Advance(100ms);
        if (onPump)
            onPump();
    }
    int calls = 0;
    std::function<void()> onPump;

private:
    FakeClock& clock_;
};

// Answers per dotted address (unlisted addresses answer); each echo takes `echoTime`.
class FakeIcmp final : public IcmpSender {
public:
    explicit FakeIcmp(FakeClock& clock) : clock_(clock) {}
    EchoResult Echo(std::uint32_t address, std::string_view, std::chrono::milliseconds) override {
        char text[INET_ADDRSTRLEN];
        in_addr a{address};
        ::inet_ntop(AF_INET, &a, text, sizeof text);
        echoes.push_back(text);
        starts.push_back(clock_.Now());
        clock_.Advance(echoTime);
        auto it = status.find(text);
        EchoResult r;
        r.status = it == status.end() ? 0 : it->second;
        return r;
    }
    std::map<std::string, std::int32_t> status;
    std::vector<std::string> echoes;
    std::vector<LocalTime> starts;
    std::chrono::milliseconds echoTime = 10ms;

private:
    FakeClock& clock_;
};

class FakeResolver final : public Resolver {
public:
    std::string ResolveHost(const std::string& host) override { return host; }
};

class FakeHttp final : public HttpClient {
public:
    HttpHeadResult Head(const std::string& host, const std::string& path) override {
        requests.push_back(host + path);
        return {true, status};
    }
    std::string status = "200";
    std::vector<std::string> requests;
};

class FakePower final : public PowerControl {
public:
    bool EnableShutdownPrivilege() override {
        ++privilegeRequests;
        return privileged;
    }
    void RestartComputer() override { ++restarts; }
    bool privileged = true;
    int privilegeRequests = 0;
    int restarts = 0;
};

// Records each run, with the program file's mode at that moment.
class FakeRunner final : public ProcessRunner {
public:
    bool RunAndWait(const std::vector<std::string>& argv) override {
        runs.push_back(argv);
        struct stat st {};
        modes.push_back(::stat(argv[0].c_str(), &st) == 0 ? (st.st_mode & 07777) : 0);
        return startable;
    }
    std::vector<std::vector<std::string>> runs;
    std::vector<unsigned> modes;
    bool startable = true;
};

class FakeWindows final : public Windows {
public:
    bool MainWindowVisible() const override { return false; }
    bool PanelVisible() const override { return panelVisible; }
    void TrayIcon(bool) override { ++trayRequests; }
    bool TrayExists() const override { return trayExists; }
    void StateChanged() override {}
    void Beep() override { ++beeps; }
    PromptAnswer Message(const Prompt& prompt) override {
        if (prompt.Beep)
            ++beeps;
        messages.push_back(prompt.Title + ": " + prompt.Text);
        if (prompt.Buttons == PromptButtons::Ok)
            return PromptAnswer::Ok;
        if (answers.empty())
            return PromptAnswer::No;
        const PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void ShowRestartWarning() override { ++warningShows; }
    void HideRestartWarning() override { ++warningHides; }

    bool panelVisible = true;
    bool trayExists = true;
    int trayRequests = 0;
    int beeps = 0;
    int warningShows = 0;
    int warningHides = 0;
    std::vector<std::string> messages;
    std::deque<PromptAnswer> answers;
};

}  // namespace vgx::test
