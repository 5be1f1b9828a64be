#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/command_runner.h"
#include "service/service_unit.h"
#include "service/system_log.h"

namespace vgx {

// Title of the installation messages (OK button, no icon).
inline constexpr const char* kServiceMessageTitle = "Vigiax";

// Service states as QueryServiceState gives them; 0 when the state cannot be read.
inline constexpr int kServiceStopped = 1;
inline constexpr int kServiceStartPending = 2;
inline constexpr int kServiceStopPending = 3;
inline constexpr int kServiceRunning = 4;
inline constexpr int kServicePaused = 7;

// What an installation or removal came to, with the text to show when a message was asked for.
struct ServiceOutcome {
    bool succeeded = false;
    std::optional<std::string> message;
};

// Installs, removes and controls the service copy through systemd. Nothing here shows
// anything; the windows show the messages returned.
class ServiceControl {
public:
    // How the service is installed: a copy run from its own folder writes its unit; the
    // packaged copy only enables and starts the unit its package ships (and disables and stops
    // it), never writing one of its own.
    enum class Unit { Written, Shipped };

    // `unitDir` receives vigiax.service (or holds the shipped one); `program` is the executable
    // the unit starts.
    ServiceControl(std::filesystem::path unitDir, std::filesystem::path program,
                   CommandRunner& runner, SystemLog& log, Unit unit = Unit::Written);
    virtual ~ServiceControl() = default;

    // Writes the unit, reloads systemd and enables the unit. On any failure what was there
    // before is put back: no unit is left behind that was not there. Errors go to the system
    // log.
    ServiceOutcome InstallService(bool showMessage);
    // Disables the unit, removes it and reloads systemd.
    ServiceOutcome UninstallService(bool showMessage);

    // The state of the service (1 stopped, 2 start pending, 3 stop pending, 4 running,
    // 7 paused), or 0. The others fail silently.
    int QueryServiceState();
    void StartServiceByName();
    void StopServiceByName();
    void PauseServiceByName();
    void ContinueServiceByName();

    std::filesystem::path UnitFile() const { return unitDir_ / kServiceUnitName; }

private:
    bool Install();
    CommandResult Systemctl(std::vector<std::string> args);
    // Runs a step of the installation; a failing one is logged.
    bool InstallStep(std::vector<std::string> args);
    void LogInstallError(int number, const std::string& description);

    std::filesystem::path unitDir_;
    std::filesystem::path program_;
    CommandRunner& runner_;
    SystemLog& log_;
    Unit unit_;
};

// The state in the answer of `systemctl show` with LoadState, ActiveState, SubState and
// StatusText, one "Name=value" a line.
int ServiceStateFromShow(std::string_view show);

}  // namespace vgx
