#pragma once

#include <filesystem>
#include <memory>

#include "app/panel_state.h"
#include "app/ports.h"
#include "app/resource_files.h"
#include "app/watchdog.h"
#include "cleaning/cleaning_job.h"
#include "cleaning/scheduler.h"
#include "probes/http_probe.h"
#include "probes/icmp_probe.h"
#include "records/clock.h"
#include "records/event_log.h"
#include "records/settings_model.h"

namespace vgx {

enum class EngineTimer { Ping, Pasta };

// Starts and stops the two engine timers; an interval of -1 stops one.
class Timers {
public:
    virtual ~Timers() = default;
    virtual void SetInterval(EngineTimer timer, int milliseconds) = 0;
};

// Everything the engine needs from the platform and the windows.
struct EnginePorts {
    const Clock& clock;
    EventPump& pump;
    PowerControl& power;
    ProcessRunner& runner;
    Windows& windows;
    Timers& timers;
    IcmpSender& icmpSender;
    Resolver& resolver;
    HttpClient& httpClient;
};

// The program put together: settings, log, probes, watchdog and cleaning, on one thread.
class Engine {
public:
    Engine(std::filesystem::path programDir, EnginePorts ports);

    // Which share of the program this copy runs: the watchdog (the copy that holds the program
    // directory's lock), or only the windows over the copy that does (a face).
    enum class Role { Watchdog, Face };

    // The engine's share of loading the main window: image files (the pair the windows use
    // follows the display's colour depth), logs folder, cleaning jobs, vgx.cfg loaded or
    // created, the commit, the timers and the first log line. A face loads the files but starts
    // no timer and logs nothing: it never runs a cycle, a cleaning job or an action.
    void Form_Load(int displayDepth = 32, Role role = Role::Watchdog);
    // Another copy saved vgx.cfg or folder.dat: they are taken up as if edited here.
    void ReloadSettings();
    void ReloadJobs();
    // Unloading: unconfirmed edits are undone and nothing is saved.
    void Form_Unload();

    void tmrPing_ThatTime() { watchdog_.tmrPing_ThatTime(); }
    void tmrPasta_ThatTime();
    void RequestStop() { watchdog_.RequestStop(); }

    // Set while the service copy is paused.
    bool ServicePaused() const { return servicePaused_; }
    void SetServicePaused(bool paused) { servicePaused_ = paused; }

    const std::filesystem::path& ProgramDir() const { return programDir_; }
    SettingsModel& Settings() { return settings_; }
    const EventLog& Log() const { return log_; }
    PanelState& Panel() { return panel_; }
    const ImageFiles& Images() const { return images_; }
    Watchdog& Dog() { return watchdog_; }
    CleaningJobs& Jobs() { return jobs_; }
    IcmpProbe& Icmp() { return icmp_; }
    HttpProbe& Http() { return http_; }

private:
    std::filesystem::path programDir_;
    EnginePorts ports_;
    EventLog log_;
    SettingsModel settings_;
    PanelState panel_;
    ImageFiles images_;
    IcmpProbe icmp_;
    HttpProbe http_;
    Watchdog watchdog_;
    CleaningJobs jobs_;
    CleaningScheduler scheduler_;
    bool servicePaused_ = false;
};

}  // namespace vgx
