#include <cerrno>
#include <chrono>
#include <cmath>

#include "app/watchdog.h"
#include "records/settings_file.h"

namespace vgx {

namespace {

using namespace std::chrono_literals;

std::string CountText(float count) {
    return "FALHAS: " + std::to_string(static_cast<long>(std::lround(count)));
}

// What the log says of a cycle that this program could not carry out.
std::string LocalFaultText(int fault) {
    switch (fault) {
        case EMFILE:
            return "DESCRITORES ESGOTADOS NO VIGIAX";
        case ENFILE:
            return "DESCRITORES ESGOTADOS NO SISTEMA";
        default:
            return "MEMÓRIA ESGOTADA";
    }
}

double Seconds(MonoClock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

Watchdog::Watchdog(std::filesystem::path programDir, SettingsModel& settings, const EventLog& log,
                   PanelState& panel, WatchdogPorts ports)
    : programDir_(std::move(programDir)),
      settings_(settings),
      log_(log),
      panel_(panel),
      ports_(ports) {}

Watchdog::~Watchdog() {
    Stop();
}

void Watchdog::Log(const std::string& message) {
    log_.WriteLog(message);
}

void Watchdog::Activity() {
    if (onActivity)
        onActivity();
}

double Watchdog::FailureLimit() const {
    return settings_.FailureLimitInUse();
}

// ---- when the next cycle is due ----

void Watchdog::Start() {
    started_ = true;
    paused_ = false;
    runningSince_ = countingSince_ = ports_.loop.Now();
    Arm();
}

void Watchdog::Pause() {
    if (!started_ || paused_)
        return;
    if (!delayHeld_)
        delayCounted_ +=
            std::chrono::floor<std::chrono::seconds>(ports_.loop.Now() - countingSince_);
    paused_ = true;
    nextCycle_.reset();
}

void Watchdog::Continue() {
    if (!started_ || !paused_)
        return;
    paused_ = false;
    runningSince_ = countingSince_ = ports_.loop.Now();
    Arm();
}

void Watchdog::Stop() {
    started_ = false;
    cycle_.Reset();
    nextCycle_.reset();
    countdown_.reset();
    resetQuestion_.reset();
    cancelNotice_.reset();
}

void Watchdog::SettingsChanged() {
    if (!CycleRunning())
        Arm();
}

std::optional<MonoTime> Watchdog::DelayEnd(MonoTime now) {
    // Whole seconds of running time, as the old one-second tick counted them; once reached the
    // count holds at the delay, so a longer delay confirmed later is waited for from there.
    const std::chrono::seconds delay = settings_.StartDelay();
    const std::chrono::seconds counted =
        delayHeld_ ? delayCounted_
                   : delayCounted_ + std::chrono::floor<std::chrono::seconds>(now - countingSince_);
    if (counted >= delay) {
        delayCounted_ = delay;
        delayHeld_ = true;
        return std::nullopt;
    }
    if (delayHeld_) {
        delayHeld_ = false;
        countingSince_ = now;
    }
    return countingSince_ + (delay - delayCounted_);
}

void Watchdog::Arm() {
    nextCycle_.reset();
    if (!started_ || paused_)
        return;
    const MonoTime now = ports_.loop.Now();
    // The first look comes a second after a start or a continue, as the old tick's did.
    MonoTime due = runningSince_ + 1s;
    if (const auto delayEnd = DelayEnd(now))
        due = std::max(due, *delayEnd);
    if (lastCycleMono_) {
        const auto interval = std::max<MonoClock::duration>(
            std::chrono::duration_cast<MonoClock::duration>(
                std::chrono::duration<double, std::ratio<60>>(settings_.PoolingMinutesInUse())),
            1s);
        due = std::max(due, *lastCycleMono_ + interval);
    }
    nextCycle_ = ports_.loop.At(due, [this] {
        // The settings may have moved the moment meanwhile.
        if (DelayEnd(ports_.loop.Now())) {
            Arm();
            return;
        }
        BeginCycle();
    });
}

void Watchdog::BeginCycle() {
    // Measured from start to start: a long cycle does not push the next one back.
    lastCycleMono_ = ports_.loop.Now();
    lastCycleStart_ = ports_.clock.Now();
    cycle_ = Cycle();
    cycle_.Start();
}

// ---- the cycle ----

Task<PingOutcome> Watchdog::PingWithTries(std::string address, char prefix) {
    PingOutcome outcome;
    for (int attempt = 1; attempt <= 3; ++attempt) {
        panel_.report += std::string{prefix} + "." + std::to_string(attempt) + ") " +
                         FormatDateTimeMinutes(ports_.clock.Now()) + "\r\n";
        ports_.windows.StateChanged();
        IcmpProbe& icmp = ports_.icmp;
        auto ping = Callback<PingOutcome>([&icmp, address](auto done) {
            return icmp.PingHost(address, kEchoPayload, std::move(done));
        });
        outcome = co_await ping;
        ports_.windows.StateChanged();
        if (outcome.status == 0 || outcome.localFault != 0)
            break;
        auto pause = Sleep(ports_.loop, 2s);
        co_await pause;
    }
    co_return outcome;
}

void Watchdog::Publish(ReportColours colours, int trayPicture) {
    if (ports_.windows.TrayExists())
        panel_.trayPicture = trayPicture;
    if (ports_.windows.PanelVisible())
        panel_.colours = colours;
    ports_.windows.StateChanged();
}

void Watchdog::EndInconclusive(int fault) {
    // This program could not run the check (no descriptor, no memory): that says nothing of the
    // network or the web server, so the cycle is neither counted nor acted upon.
    ++counts_.inconclusive;
    Log("CICLO NÃO CONTADO! FALHA LOCAL: " + LocalFaultText(fault) + " ");
    panel_.report += "CICLO NÃO CONTADO: falha local do Vigiax\r\n";
    ports_.windows.StateChanged();
}

Task<void> Watchdog::Cycle() {
    co_await CycleSteps();
    counts_.lastCycleEnd = ports_.clock.Now();
    counts_.lastCycleEndMono = ports_.loop.Now();
    Arm();
    Activity();
}

Task<void> Watchdog::CycleSteps() {
    const Settings& s = settings_.Working();
    if (!settings_.NetCheckOn() && !settings_.WebCheckOn())
        co_return;
    ++counts_.cycles;
    if (resetPending_) {
        resetPending_ = false;
        failures_ = 0;
    }
    panel_.report.clear();
    ports_.windows.StateChanged();

    std::int32_t failureCode = 0;
    if (settings_.NetCheckOn()) {
        const MonoTime began = ports_.loop.Now();
        PingOutcome ping = co_await PingWithTries(s.NetAddress1, '1');
        if (ping.localFault == 0 && ping.status != 0) {
            Log("FALHA ENDEREÇO: " + s.NetAddress1);
            ping = co_await PingWithTries(s.NetAddress2, '2');
        }
        if (ping.localFault != 0) {
            EndInconclusive(ping.localFault);
            co_return;
        }
        failureCode = ping.status;
        counts_.internetUp = failureCode == 0;
        counts_.internetSeconds = Seconds(ports_.loop.Now() - began);
    }

    if (settings_.WebCheckOn() && failureCode == 0) {
        const MonoTime began = ports_.loop.Now();
        HttpProbe& http = ports_.http;
        auto request = Callback<HttpCheck>([&http, url = s.WebPage](auto done) {
            return http.CheckHttpStatus(url, std::move(done));
        });
        const HttpCheck page = co_await request;
        if (page.localFault != 0) {
            EndInconclusive(page.localFault);
            co_return;
        }
        counts_.webUp = page.ok;
        counts_.webSeconds = Seconds(ports_.loop.Now() - began);
        if (page.ok) {
            panel_.report += "IIS STATUS OK!!\r\n";
        } else {
            Log("FALHA IIS: " + s.WebPage);
            panel_.report += "IIS FALHOU!!\r\n";
            ports_.windows.Beep();
            failureCode = kWebFailure;
        }
    }

    panel_.failureLabel = CountText(failures_);
    ports_.windows.StateChanged();
    if (failures_ == 0)
        Publish(ReportColours::Normal, kTrayNormal);

    if (failureCode == 0) {
        failures_ = 0;
        publishedFailures_ = 0;
        Publish(ReportColours::Normal, kTrayNormal);
        co_return;
    }

    ++counts_.failedCycles;
    if (failureCode != kWebFailure)
        Log("FALHA ENDEREÇO: " + s.NetAddress2);
    failures_ += 1;
    publishedFailures_ = failures_;
    panel_.failureLabel = CountText(failures_);

    const double limit = FailureLimit();
    if (limit <= failures_ + 1) {
        Publish(ReportColours::Alarm, kTrayNearLimit);
    } else {
        Publish(ReportColours::Warning, kTrayFailures);
    }
    if (limit > failures_)
        co_return;
    co_await ThresholdEvent(failureCode);
}

Task<void> Watchdog::ThresholdEvent(std::int32_t failureCode) {
    Settings& s = settings_.Working();
    const LocalDays today = DayOf(ports_.clock.Now());
    if (!s.ThresholdDay || *s.ThresholdDay != today) {
        s.ThresholdEvents = 0;
        s.ThresholdDay = today;
    }
    if (s.ThresholdEvents > 10)
        co_return;
    ++s.ThresholdEvents;
    SaveBootCount();

    const bool privileged = ports_.power.EnableShutdownPrivilege();
    ports_.windows.Beep();
    if (!privileged) {
        Log("FALHA NOS PRIVILEGIOS!!! ");
        co_return;
    }

    if (failureCode != kWebFailure) {
        if (settings_.NetActionInUse() == NetFailureAction::RestartComputer) {
            Log("BOOT!!! ");
            ShowRestartWarning();
        }
        co_return;
    }
    switch (settings_.WebActionInUse()) {
        case WebFailureAction::RestartComputer:
            Log("BOOT!!! ");
            ShowRestartWarning();
            break;
        case WebFailureAction::RestartWebServer:
            co_await RestartWebServer();
            break;
        case WebFailureAction::Nothing:
            break;
    }
}

// ---- the reset ----

void Watchdog::ResetFailures() {
    resetPending_ = true;
    Log("FALHAS RESETADAS! ");
}

void Watchdog::AskToResetFailures() {
    resetQuestion_ = ports_.windows.Ask(Question(kResetQuestionText), [this](PromptAnswer answer) {
        if (answer != PromptAnswer::Yes) {
            resetQuestion_.reset();
            return;
        }
        ResetFailures();
        Prompt done = Notice(kResetDoneText);
        done.Beep = true;
        resetQuestion_ = ports_.windows.Ask(done, [this](PromptAnswer) { resetQuestion_.reset(); });
    });
}

}  // namespace vgx
