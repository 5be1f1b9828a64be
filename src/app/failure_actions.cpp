#include <unistd.h>

#include "app/embedded_resources.h"
#include "app/resource_files.h"
#include "app/watchdog.h"
#include "records/file_io.h"

namespace vgx {

namespace {

using namespace std::chrono_literals;

}  // namespace

void Watchdog::ShowRestartWarning() {
    // While the user is being told of a cancelled warning, the next one waits: its window
    // could not be answered behind that message box.
    if (cancelNotice_)
        return;
    // A warning already counting is only brought to the front.
    if (!warning_.Counting()) {
        ++counts_.warnings;
        warning_.Start();
        nextSecond_ = ports_.loop.Now() + 1s;
        countdown_ = ports_.loop.At(nextSecond_, [this] { WarningSecond(); });
    }
    ports_.windows.ShowRestartWarning();
    Activity();
}

void Watchdog::WarningSecond() {
    const bool restart = warning_.Tick();
    ports_.windows.StateChanged();
    ports_.windows.Beep();
    if (restart) {
        countdown_.reset();
        ++counts_.computerRestarts;
        Activity();
        ports_.power.RestartComputer();
        return;
    }
    nextSecond_ += 1s;
    countdown_ = ports_.loop.At(nextSecond_, [this] { WarningSecond(); });
}

void Watchdog::CancelRestartWarning(bool notice) {
    Settings& s = settings_.Working();
    const bool lowered = s.ThresholdEvents != 0;
    if (lowered)
        --s.ThresholdEvents;
    // The countdown stops before anything else: the restart cannot come while the user reads.
    warning_.Stop();
    countdown_.reset();
    ports_.windows.Beep();
    ports_.windows.HideRestartWarning();
    const auto recorded = [this, lowered] {
        cancelNotice_.reset();
        resetPending_ = true;
        ++counts_.warningsCancelled;
        Log("FALHAS RESETADAS! ");
        Log("BOOT CANCELADO PELO USUÁRIO! ");
        settings_.Cancelar(true);
        if (lowered)
            SaveBootCount();
        Activity();
    };
    if (!notice) {
        recorded();
        return;
    }
    cancelNotice_ =
        ports_.windows.Ask(Notice(kCancelledRestartText), [recorded](PromptAnswer) { recorded(); });
}

void Watchdog::RestartButton() {
    ports_.power.EnableShutdownPrivilege();
    ShowRestartWarning();
    Log("BOTÃO DE BOOT PRESSIONADO! ");
}

Task<void> Watchdog::RestartWebServer() {
    const std::filesystem::path tool = programDir_ / "jet.exe";
    if (!ExtractResource(kResourceIis, "IIS", tool, 0700)) {
        Log("FALHA AO GRAVAR JET.EXE! ");
        co_return;
    }
    ProcessRunner& runner = ports_.runner;
    auto run = Callback<bool>([&runner, tool](auto ended) {
        return runner.Run({tool.string(), "/restart"}, std::move(ended));
    });
    const bool ran = co_await run;
    ::unlink(tool.c_str());
    // A tool that could not start still counts as an attempt, so that the computer restart
    // after repeated web-server restarts is not silenced by it.
    Log(ran ? "IIS REINICIADO " : "FALHA AO EXECUTAR JET.EXE! ");
    if (webServerRestarts_ < 255)
        ++webServerRestarts_;
    failures_ = failures_ - 2 < 0 ? 0 : failures_ - 2;
    Activity();
    if (settings_.RestartAfterWebRestartsOn() && webServerRestarts_ > 3) {
        Log("BOOT!!! ");
        ShowRestartWarning();
    }
}

void Watchdog::SaveBootCount() {
    // Only the count and its day go to the file: the record stored there is kept as it is,
    // so edits not yet confirmed in the window are not written by a threshold event.
    SettingsModel stored(programDir_, ports_.clock);
    const LoadResult loaded = stored.LoadSettings();
    bool saved = false;
    if (loaded.Complete()) {
        stored.Working().ThresholdEvents = settings_.Working().ThresholdEvents;
        stored.Working().ThresholdDay = settings_.Working().ThresholdDay;
        saved = stored.SaveSettings();
    } else if (loaded.status == LoadStatus::kNoFile && NameIsFree(stored.FilePath())) {
        saved = settings_.SaveSettings();
    }
    // A damaged file, or anything under its name that is no readable file, is left as it is.
    if (!saved)
        Log("FALHA AO GRAVAR VGX.CFG! ");
}

}  // namespace vgx
