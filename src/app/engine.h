#pragma once

#include <filesystem>
#include <memory>

#include "app/metrics_publisher.h"
#include "app/panel_state.h"
#include "app/ports.h"
#include "app/resource_files.h"
#include "app/watchdog.h"
#include "cleaning/cleaning_job.h"
#include "cleaning/scheduler.h"
#include "loop/event_loop.h"
#include "probes/http_probe.h"
#include "probes/icmp_probe.h"
#include "records/clock.h"
#include "records/event_log.h"
#include "records/settings_model.h"

namespace vgx {

// Everything the engine needs from the platform and the windows.
struct EnginePorts {
    const Clock& clock;
    EventLoop& loop;
    PowerControl& power;
    ProcessRunner& runner;
    Windows& windows;
    IcmpSender& icmpSender;
    Resolver& resolver;
    HttpClient& httpClient;
};

// The program put together: settings, log, probes, watchdog and cleaning, on one event loop.
class Engine {
public:
    Engine(std::filesystem::path programDir, EnginePorts ports);
    ~Engine();

    // Which share of the program this copy runs: the watchdog (the copy that holds the program
    // directory's lock), or only the windows over the copy that does (a face).
    enum class Role { Watchdog, Face };

    // Before Load: the watchdog's state is kept for Prometheus in DIR/vigiax.prom (an empty
    // folder: not kept). Only a copy that runs the watchdog writes it.
    void KeepMetrics(std::filesystem::path dir, std::function<double()> unixNow = UnixNow);

    // Puts the engine together from its files: image files (the pair the windows use follows
    // the display's colour depth), logs folder, cleaning jobs, vgx.cfg loaded or created, the
    // commit, the first log line, and the watchdog and the cleaning armed on the loop. A face
    // loads the files but arms nothing and logs nothing: it never runs a cycle, a cleaning job
    // or an action.
    void Load(int displayDepth = 32, Role role = Role::Watchdog);
    // Another copy saved vgx.cfg or folder.dat: they are taken up as if edited here.
    void ReloadSettings();
    void ReloadJobs();
    // The jobs were edited here: the cleaning is armed again.
    void JobsChanged();
    // Unloading: every timer stops, unconfirmed edits are undone and nothing is saved.
    void Unload();

    // The service copy's pause: no cycle and no cleaning until it continues.
    void Pause();
    void Continue();
    bool Paused() const { return paused_; }
    // A face shows the paused state of the copy it faces.
    void ShowPaused(bool paused) { paused_ = paused; }
    // The program ends: the cycle under way ends where it waits, without counting or acting.
    void Stop();

    EventLoop& Loop() { return ports_.loop; }
    const vgx::Clock& Clock() const { return ports_.clock; }
    MetricsPublisher* Metrics() { return metrics_.get(); }
    const std::filesystem::path& ProgramDir() const { return programDir_; }
    SettingsModel& Settings() { return settings_; }
    const EventLog& Log() const { return log_; }
    PanelState& Panel() { return panel_; }
    const ImageFiles& Images() const { return images_; }
    Watchdog& Dog() { return watchdog_; }
    CleaningJobs& Jobs() { return jobs_; }
    const CleaningScheduler& Scheduler() const { return scheduler_; }
    IcmpProbe& Icmp() { return icmp_; }
    HttpProbe& Http() { return http_; }
    MonoTime Started() const { return started_; }

private:
    void ArmCleaning();
    void Activity();

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
    bool watching_ = false;
    bool paused_ = false;
    MonoTime started_{};
    MonoTime runningSince_{};
    LoopHandle cleaning_;
    int listener_ = 0;
    std::unique_ptr<MetricsPublisher> metrics_;
};

}  // namespace vgx
