#include "app/process_start.h"
#include "ui/run_vigiax.h"
#include "ui/service/run_service.h"

int main(int argc, char** argv) {
    vgx::PrepareProcess();
    if (vgx::IsServiceStart(argc, argv))
        return vgx::RunService(argc, argv, {});
    return vgx::RunVigiax(argc, argv, {});
}
