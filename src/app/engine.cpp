#include "app/engine.h"

#include "app/resource_files.h"
#include "cleaning/jobs_file.h"
#include "records/file_io.h"

namespace vgx {

Engine::Engine(std::filesystem::path programDir, EnginePorts ports)
    : programDir_(std::move(programDir)),
      ports_(ports),
      log_(programDir_, ports.clock),
      settings_(programDir_, ports.clock),
      icmp_(ports.icmpSender, ports.resolver, panel_.Text1, &log_),
      http_(ports.httpClient),
      watchdog_(programDir_, settings_, log_, panel_,
                WatchdogPorts{ports.clock, ports.pump, ports.power, ports.runner, ports.windows,
                              icmp_, http_}),
      scheduler_(ports.clock, jobs_, log_, programDir_) {}

void Engine::Form_Load(int displayDepth, Role role) {
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
        settings_.Working().Boota = 0;
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
    if (watchdog) {
        ports_.timers.SetInterval(EngineTimer::Pasta, 23000);
        ports_.timers.SetInterval(EngineTimer::Ping, 1000);
        log_.WriteLog("INICIOU O SISTEMA");
    }
    HttpGlobalInit();
}

void Engine::ReloadSettings() {
    // The threshold count is this copy's own: the other copy's save carried the count it read
    // at its start, which must not lower the daily limit's count here nor in the file.
    vgx::Settings& s = settings_.Working();
    const std::uint8_t boota = s.Boota;
    const std::optional<LocalDays> day = s.DataAtual;
    if (!settings_.LoadSettings().Complete())
        return;
    const bool stale = s.Boota != boota || s.DataAtual != day;
    s.Boota = boota;
    s.DataAtual = day;
    settings_.CommitLoaded();
    if (stale)
        watchdog_.SaveBootCount();
}

void Engine::ReloadJobs() {
    // As stored: the marks in the file are the running copy's own, kept by the other copy's save.
    if (auto jobs = ReadCleaningJobs(programDir_))
        jobs_ = std::move(*jobs);
}

void Engine::Form_Unload() {
    settings_.Cancelar(false);
}

void Engine::tmrPasta_ThatTime() {
    scheduler_.tmrPasta_ThatTime();
}

}  // namespace vgx
