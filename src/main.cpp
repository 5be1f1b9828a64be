#include "app/process_start.h"
#include "service/daemon_handoff.h"
#include "service/service_unit.h"
#include "ui/run_vigiax.h"

int main(int argc, char** argv) {
    vgx::PrepareProcess();
    if (vgx::IsServiceStart(argc, argv))
        return vgx::HandOverToDaemon(argc, argv, vgx::kDaemonName);
    return vgx::RunVigiax(argc, argv, {});
}
