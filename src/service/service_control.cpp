#include "service/service_control.h"

#include <cerrno>
#include <map>
#include <system_error>

#include "records/file_io.h"
#include "service/service_unit.h"

namespace vgx {

namespace {

std::string Joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words)
        out += (out.empty() ? "" : " ") + w;
    return out;
}

std::string WithTitle(const char* text) {
    return std::string(kServiceDisplayName) + text;
}

}  // namespace

ServiceControl::ServiceControl(std::filesystem::path unitDir, std::filesystem::path program,
                               CommandRunner& runner, SystemLog& log, Unit unit)
    : unitDir_(std::move(unitDir)),
      program_(std::move(program)),
      runner_(runner),
      log_(log),
      unit_(unit) {}

CommandResult ServiceControl::Systemctl(std::vector<std::string> args) {
    args.insert(args.begin(), "systemctl");
    return runner_.Run(args);
}

void ServiceControl::LogInstallError(int number, const std::string& description) {
    LogEvent(log_, kEventError, 1, EventErrorText(number, description, "Install Service"));
}

bool ServiceControl::InstallStep(std::vector<std::string> args) {
    const CommandResult r = Systemctl(args);
    if (r.Succeeded())
        return true;
    args.insert(args.begin(), "systemctl");
    LogInstallError(
        r.started ? r.exitStatus : ENOENT,
        r.started ? Joined(args) : Joined(args) + ": " + std::system_category().message(ENOENT));
    return false;
}

bool ServiceControl::Install() {
    if (unit_ == Unit::Shipped)
        return InstallStep({"enable", "--now", kServiceUnitName});
    const std::filesystem::path unit = UnitFile();
    std::error_code ec;
    const bool existed = std::filesystem::exists(unit, ec);
    const std::optional<std::string> before = ReadFileContents(unit);
    if (existed && !before) {
        // A unit that cannot be read could not be put back.
        LogInstallError(EACCES, unit.string() + ": " + std::system_category().message(EACCES));
        return false;
    }
    if (!SystemdAcceptsProgramPath(program_.string())) {
        LogInstallError(EINVAL, program_.string() + ": " + std::system_category().message(EINVAL));
        return false;
    }
    if (!ReplaceFileContents(unit, ServiceUnitText(program_))) {
        const int err = errno;
        LogInstallError(err, unit.string() + ": " + std::system_category().message(err));
        return false;
    }
    if (InstallStep({"daemon-reload"}) && InstallStep({"enable", kServiceUnitName}))
        return true;

    if (before) {
        ReplaceFileContents(unit, *before);
    } else {
        Systemctl({"disable", kServiceUnitName});
        std::filesystem::remove(unit, ec);
    }
    Systemctl({"daemon-reload"});
    return false;
}

ServiceOutcome ServiceControl::InstallService(bool showMessage) {
    ServiceOutcome outcome;
    try {
        outcome.succeeded = Install();
    } catch (const std::system_error& e) {
        LogInstallError(e.code().value(), e.what());
    } catch (const std::exception& e) {
        LogInstallError(0, e.what());
    }
    if (showMessage) {
        outcome.message =
            WithTitle(outcome.succeeded ? ": serviço instalado" : ": falhou a instalação!");
    }
    return outcome;
}

ServiceOutcome ServiceControl::UninstallService(bool showMessage) {
    ServiceOutcome outcome;
    if (unit_ == Unit::Shipped) {
        outcome.succeeded = Systemctl({"disable", "--now", kServiceUnitName}).Succeeded();
    } else {
        const bool disabled = Systemctl({"disable", kServiceUnitName}).Succeeded();
        std::error_code ec;
        std::filesystem::remove(UnitFile(), ec);
        const bool reloaded = Systemctl({"daemon-reload"}).Succeeded();
        outcome.succeeded = disabled && !ec && reloaded;
    }
    if (showMessage) {
        outcome.message =
            WithTitle(outcome.succeeded ? ": serviço desinstalado" : ": falhou a desinstalação!");
    }
    return outcome;
}

int ServiceControl::QueryServiceState() {
    const CommandResult r = Systemctl(
        {"show", kServiceUnitName, "--property=LoadState,ActiveState,SubState,StatusText"});
    return r.Succeeded() ? ServiceStateFromShow(r.output) : 0;
}

void ServiceControl::StartServiceByName() {
    Systemctl({"start", kServiceUnitName});
}

void ServiceControl::StopServiceByName() {
    Systemctl({"stop", kServiceUnitName});
}

void ServiceControl::PauseServiceByName() {
    Systemctl({"kill", "--kill-whom=main", "--signal=SIGUSR1", kServiceUnitName});
}

void ServiceControl::ContinueServiceByName() {
    Systemctl({"kill", "--kill-whom=main", "--signal=SIGUSR2", kServiceUnitName});
}

int ServiceStateFromShow(std::string_view show) {
    std::map<std::string, std::string, std::less<>> p;
    while (!show.empty()) {
        const std::size_t end = show.find('\n');
        const std::string_view line = show.substr(0, end);
        show.remove_prefix(end == std::string_view::npos ? show.size() : end + 1);
        if (const std::size_t eq = line.find('='); eq != std::string_view::npos)
            p[std::string(line.substr(0, eq))] = std::string(line.substr(eq + 1));
    }
    const std::string& active = p["ActiveState"];
    if (p["LoadState"] == "not-found" && active == "inactive")
        return 0;  // no such service
    if (active == "active" || active == "reloading") {
        // The copy publishes "Serviço Pausado" while it is paused.
        return p["StatusText"].find("Pausado") != std::string::npos ? kServicePaused
                                                                    : kServiceRunning;
    }
    if (active == "activating")
        return kServiceStartPending;
    if (active == "deactivating")
        return kServiceStopPending;
    if (active == "inactive" || active == "failed")
        return kServiceStopped;
    return 0;
}


}  // namespace vgx
