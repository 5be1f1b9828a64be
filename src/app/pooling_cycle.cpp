#include <chrono>
#include <cmath>

#include "app/watchdog.h"
#include "records/settings_file.h"

namespace vgx {

namespace {

std::string CountText(float count) {
    return "FALHAS: " + std::to_string(static_cast<long>(std::lround(count)));
}

}  // namespace

Watchdog::Watchdog(std::filesystem::path programDir, SettingsModel& settings, const EventLog& log,
                   PanelState& panel, WatchdogPorts ports)
    : programDir_(std::move(programDir)),
      settings_(settings),
      log_(log),
      panel_(panel),
      ports_(ports) {}

void Watchdog::Log(const std::string& message) {
    log_.WriteLog(message);
}

double Watchdog::PoolingMinutes() const {
    if (const auto v = StrictFloat(settings_.Working().PoolingMinutes))
        return *v;
    return settings_.Committed().PoolingMinutes;
}

double Watchdog::FailureLimit() const {
    if (const auto v = StrictFloat(settings_.Working().FailureLimit))
        return *v;
    return settings_.Committed().FailureLimit;
}

void Watchdog::tmrPing_ThatTime() {
    if (!ports_.windows.MainWindowVisible())
        ports_.windows.TrayIcon(true);

    const std::int32_t delaySeconds = settings_.Committed().DelayMinutes * 60;
    if (delaySeconds > 0) {
        ++SecondsSinceStart;
        if (SecondsSinceStart < delaySeconds)
            return;
    }
    SecondsSinceStart = delaySeconds;

    // A tick handled while a cycle pumps events never starts a second one inside it.
    if (inCycle_)
        return;

    const auto mono = ports_.clock.Monotonic();
    if (lastPoolingMono_) {
        const auto interval = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::duration<double, std::ratio<60>>(PoolingMinutes()));
        if (mono - *lastPoolingMono_ < interval)
            return;
    }
    lastPoolingMono_ = mono;
    LastPooling = ports_.clock.Now();
    RunPoolingCycle();
}

void Watchdog::WaitSeconds(int n) {
    if (n <= 0)
        return;
    const auto end = ports_.clock.Monotonic() + std::chrono::seconds(n);
    while (!stopping_ && ports_.clock.Monotonic() < end)
        ports_.pump.ProcessEvents();
}

std::int32_t Watchdog::PingWithTries(const std::string& address, char prefix) {
    std::int32_t code = 0;
    for (int attempt = 1; attempt <= 3 && !stopping_; ++attempt) {
        ports_.pump.ProcessEvents();
        panel_.Text1 += std::string{prefix} + "." + std::to_string(attempt) + ") " +
                        FormatDateTimeMinutes(ports_.clock.Now()) + "\r\n";
        ports_.windows.StateChanged();
        code = ports_.icmp.PingHost(address, kEchoPayload);
        ports_.windows.StateChanged();
        if (code == 0)
            break;
        WaitSeconds(2);
    }
    return code;
}

void Watchdog::Publish(ReportColours colours, int trayPicture) {
    if (ports_.windows.TrayExists())
        panel_.trayPicture = trayPicture;
    if (ports_.windows.PanelVisible())
        panel_.colours = colours;
    ports_.windows.StateChanged();
}

void Watchdog::RunPoolingCycle() {
    const Settings& s = settings_.Working();
    if (s.NetCheckEnabled == 0 && s.IISCheckEnabled == 0)
        return;
    inCycle_ = true;
    struct Leave {
        bool& flag;
        ~Leave() { flag = false; }
    } leave{inCycle_};

    if (LimpaFalha) {
        LimpaFalha = false;
        FailureCount = 0;
    }
    panel_.Text1.clear();
    ports_.windows.StateChanged();

    std::int32_t failureCode = 0;
    if (settings_.Working().NetCheckEnabled != 0) {
        failureCode = PingWithTries(settings_.Working().NetAddress1, '1');
        if (failureCode != 0 && !stopping_) {
            Log("FALHA ENDEREÇO: " + settings_.Working().NetAddress1);
            failureCode = PingWithTries(settings_.Working().NetAddress2, '2');
        }
    }
    if (stopping_)
        return;

    if (settings_.Working().IISCheckEnabled != 0 && failureCode == 0) {
        std::string url = settings_.Working().IISUrl;
        if (ports_.http.CheckHttpStatus(url)) {
            panel_.Text1 += "IIS STATUS OK!!\r\n";
        } else {
            Log("FALHA IIS: " + settings_.Working().IISUrl);
            panel_.Text1 += "IIS FALHOU!!\r\n";
            ports_.windows.Beep();
            failureCode = kIisFailure;
        }
    }

    panel_.lblNet = CountText(FailureCount);
    ports_.windows.StateChanged();
    if (FailureCount == 0)
        Publish(ReportColours::Normal, kTrayNormal);

    if (failureCode == 0) {
        FailureCount = 0;
        Nfalhas = 0;
        Publish(ReportColours::Normal, kTrayNormal);
        return;
    }

    if (failureCode != kIisFailure)
        Log("FALHA ENDEREÇO: " + settings_.Working().NetAddress2);
    FailureCount += 1;
    Nfalhas = FailureCount;
    panel_.lblNet = CountText(FailureCount);

    const double limit = FailureLimit();
    if (limit <= FailureCount + 1) {
        Publish(ReportColours::Alarm, kTrayNearLimit);
    } else {
        Publish(ReportColours::Warning, kTrayFailures);
    }
    if (limit > FailureCount)
        return;
    ThresholdEvent(failureCode);
}

void Watchdog::ThresholdEvent(std::int32_t failureCode) {
    Settings& s = settings_.Working();
    const LocalDays today = DayOf(ports_.clock.Now());
    if (!s.DataAtual || *s.DataAtual != today) {
        s.Boota = 0;
        s.DataAtual = today;
    }
    if (s.Boota > 10)
        return;
    ++s.Boota;
    SaveBootCount();

    const bool privileged = ports_.power.EnableShutdownPrivilege();
    ports_.windows.Beep();
    if (!privileged) {
        Log("FALHA NOS PRIVILEGIOS!!! ");
        return;
    }

    if (failureCode != kIisFailure) {
        if (s.NetAction == 1) {
            Log("BOOT!!! ");
            ShowRestartWarning();
        }
        return;
    }
    if (s.IISAction == 2) {
        Log("BOOT!!! ");
        ShowRestartWarning();
    } else if (s.IISAction == 1) {
        RestartIis();
    }
}

void Watchdog::ResetFailures() {
    LimpaFalha = true;
    Log("FALHAS RESETADAS! ");
}

void Watchdog::cmdReset_Click() {
    if (ports_.windows.Message(Question(kResetQuestionText)) != PromptAnswer::Yes) {
        return;
    }
    ResetFailures();
    Prompt done = Notice(kResetDoneText);
    done.Beep = true;
    ports_.windows.Message(done);
}

}  // namespace vgx
