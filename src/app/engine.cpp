#include "app/engine.h"

#include "app/resource_files.h"
#include "cleaning/jobs_file.h"
#include "records/file_io.h"

namespace vgx {

namespace {

using namespace std::chrono_literals;

// The first look at the cleaning jobs comes this long after a start or a continue; from then
// on the loop sleeps until the next job is due, looking again at least every hour, so that a
// change of the wall clock is noticed.
constexpr auto kFirstCleaningLook = 23s;
constexpr auto kLongestCleaningSleep = 1h;

}  // namespace

Engine::Engine(std::filesystem::path programDir, EnginePorts ports)
    : programDir_(std::move(programDir)),
      ports_(ports),
      log_(programDir_, ports.clock),
      settings_(programDir_, ports.clock),
      icmp_(ports.loop, ports.icmpSender, ports.resolver, panel_.report, &log_),
      http_(ports.httpClient),
      watchdog_(programDir_, settings_, log_, panel_,
                WatchdogPorts{ports.clock, ports.loop, ports.power, ports.runner, ports.windows,
                              icmp_, http_}),
      scheduler_(ports.clock, jobs_, log_, programDir_) {}

void Engine::KeepMetrics(std::filesystem::path dir, std::function<double()> unixNow) {
    if (dir.empty())
        metrics_.reset();
    else
        metrics_ = std::make_unique<MetricsPublisher>(*this, std::move(dir), std::move(unixNow));
}

void Engine::Activity() {
    if (watching_ && metrics_)
        metrics_->Write();
}

Engine::~Engine() {
    Stop();
    if (listener_ != 0)
        settings_.RemoveListener(listener_);
}

void Engine::Load(int displayDepth, Role role) {
    const bool watchdog = role == Role::Watchdog;
    if (watchdog)
        ExtractImageFiles(programDir_);
    images_ = ImageFilesForDepth(programDir_, displayDepth);
    FolderExists(programDir_ / "logs", true);
    if (auto jobs = LoadCleaningJobs(programDir_, DayOf(ports_.clock.Now()))) {
        jobs_ = std::move(*jobs);
    } else {
        // An unreadable folder.dat leaves no jobs running; the file itself is kept as it is.
        jobs_.assign(1, CleaningJob{});
        if (watchdog)
            log_.WriteLog("FALHA AO LER FOLDER.DAT! ");
    }
    // vgx.cfg is created only where nothing at all has its name: a dangling link (settings on a
    // volume not mounted yet), a folder or a FIFO is left alone and the defaults run in memory.
    if (NameIsFree(settings_.FilePath())) {
        settings_.Working().ThresholdEvents = 0;
        if (watchdog)
            settings_.SaveSettings();
    } else if (const LoadResult loaded = settings_.LoadSettings(); !loaded.Complete()) {
        // The values before the bad line are in use, the rest keep their defaults: say so.
        if (watchdog) {
            log_.WriteLog(loaded.status == LoadStatus::kNoFile
                              ? std::string("FALHA AO LER VGX.CFG! ")
                              : "FALHA AO LER VGX.CFG! LINHA " + std::to_string(loaded.line) + " ");
        }
    }
    settings_.CommitLoaded();
    started_ = runningSince_ = ports_.loop.Now();
    if (watchdog) {
        watching_ = true;
        // Values being edited count before they are confirmed: any change re-arms the cycle.
        listener_ = settings_.AddListener([this](Setting) { watchdog_.SettingsChanged(); });
        settings_.hooks.committed = [this] { watchdog_.SettingsChanged(); };
        log_.WriteLog("INICIOU O SISTEMA");
        watchdog_.onActivity = [this] { Activity(); };
        watchdog_.Start();
        ArmCleaning();
        Activity();
    }
}

void Engine::ArmCleaning() {
    cleaning_.reset();
    if (!watching_ || paused_)
        return;
    const MonoTime now = ports_.loop.Now();
    const LocalTime wallNow = ports_.clock.Now();
    MonoTime at = now + kLongestCleaningSleep;
    if (const auto due = scheduler_.NextDue(wallNow))
        at = std::min(at, now + std::chrono::ceil<std::chrono::milliseconds>(*due - wallNow));
    at = std::max(at, runningSince_ + kFirstCleaningLook);
    cleaning_ = ports_.loop.At(at, [this] {
        if (scheduler_.RunDueJobs())
            Activity();
        ArmCleaning();
    });
}

void Engine::JobsChanged() {
    ArmCleaning();
}

void Engine::ReloadSettings() {
    // The threshold count is this copy's own: the other copy's save carried the count it read
    // at its start, which must not lower the daily limit's count here nor in the file.
    vgx::Settings& s = settings_.Working();
    const std::uint8_t boota = s.ThresholdEvents;
    const std::optional<LocalDays> day = s.ThresholdDay;
    if (!settings_.LoadSettings().Complete())
        return;
    const bool stale = s.ThresholdEvents != boota || s.ThresholdDay != day;
    s.ThresholdEvents = boota;
    s.ThresholdDay = day;
    settings_.CommitLoaded();
    if (stale)
        watchdog_.SaveBootCount();
}

void Engine::ReloadJobs() {
    // As stored: the marks in the file are the running copy's own, kept by the other copy's save.
    if (auto jobs = ReadCleaningJobs(programDir_))
        jobs_ = std::move(*jobs);
    ArmCleaning();
}

void Engine::Pause() {
    if (paused_)
        return;
    paused_ = true;
    watchdog_.Pause();
    cleaning_.reset();
    Activity();
}

void Engine::Continue() {
    if (!paused_)
        return;
    paused_ = false;
    runningSince_ = ports_.loop.Now();
    watchdog_.Continue();
    ArmCleaning();
    Activity();
}

void Engine::Stop() {
    watching_ = false;
    watchdog_.Stop();
    cleaning_.reset();
}

void Engine::Unload() {
    Stop();
    settings_.Cancelar(false);
}

}  // namespace vgx
