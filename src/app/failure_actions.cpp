#include <unistd.h>

#include "app/embedded_resources.h"
#include "app/resource_files.h"
#include "app/watchdog.h"
#include "records/file_io.h"

namespace vgx {

void Watchdog::ShowRestartWarning() {
    // While the user is cancelling one warning, the next one waits: its window could not be
    // answered behind the cancel's message box.
    if (cancelling_)
        return;
    // A warning already counting is only brought to the front.
    if (!warning_.Counting())
        warning_.Start();
    ports_.windows.ShowRestartWarning();
}

void Watchdog::RestartWarningTick() {
    const bool restart = warning_.Tick();
    ports_.windows.StateChanged();
    ports_.windows.Beep();
    if (restart)
        ports_.power.RestartComputer();
}

void Watchdog::RestartWarningCancel(bool notice) {
    cancelling_ = true;
    struct Leave {
        bool& flag;
        ~Leave() { flag = false; }
    } leave{cancelling_};
    Settings& s = settings_.Working();
    const bool lowered = s.Boota != 0;
    if (lowered)
        --s.Boota;
    warning_.Stop();
    ports_.windows.Beep();
    ports_.windows.HideRestartWarning();
    ports_.pump.ProcessEvents();
    if (notice)
        ports_.windows.Message(Notice(kCancelledRestartText));
    LimpaFalha = true;
    Log("FALHAS RESETADAS! ");
    Log("BOOT CANCELADO PELO USUÁRIO! ");
    settings_.Cancelar(true);
    if (lowered)
        SaveBootCount();
}

void Watchdog::cmdBot_Click() {
    ports_.power.EnableShutdownPrivilege();
    ShowRestartWarning();
    Log("BOTÃO DE BOOT PRESSIONADO! ");
}

void Watchdog::RestartIis() {
    const std::filesystem::path tool = programDir_ / "jet.exe";
    if (!ExtractResource(kResourceIis, "IIS", tool, 0700)) {
        Log("FALHA AO GRAVAR JET.EXE! ");
        return;
    }
    const bool ran = ports_.runner.RunAndWait({tool.string(), "/restart"});
    ::unlink(tool.c_str());
    // A tool that could not start still counts as an attempt, so that the computer restart
    // after repeated web-server restarts is not silenced by it.
    Log(ran ? "IIS REINICIADO " : "FALHA AO EXECUTAR JET.EXE! ");
    if (IisRestarts < 255)
        ++IisRestarts;
    FailureCount = FailureCount - 2 < 0 ? 0 : FailureCount - 2;
    if (settings_.Working().BootReset == 1 && IisRestarts > 3) {
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
        stored.Working().Boota = settings_.Working().Boota;
        stored.Working().DataAtual = settings_.Working().DataAtual;
        saved = stored.SaveSettings();
    } else if (loaded.status == LoadStatus::kNoFile && NameIsFree(stored.FilePath())) {
        saved = settings_.SaveSettings();
    }
    // A damaged file, or anything under its name that is no readable file, is left as it is.
    if (!saved)
        Log("FALHA AO GRAVAR VGX.CFG! ");
}

}  // namespace vgx
