#include "app/process_start.h"
#include "daemon/run_daemon.h"

int main(int argc, char** argv) {
    vgx::PrepareProcess();
    return vgx::RunDaemon(argc, argv, {});
}
