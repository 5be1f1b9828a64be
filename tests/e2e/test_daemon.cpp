// The daemon as the end-to-end tests run it: a restart of the computer is only recorded and the
// web server's port can be given in VGX_TEST_HTTP_PORT.
#include <cstdlib>

#include "app/process_start.h"
#include "daemon/run_daemon.h"
#include "recording_power.h"

int main(int argc, char** argv) {
    vgx::PrepareProcess();
    vgx::test::RecordingPowerControl power;
    vgx::EngineOptions options{&power, 80};
    if (const char* port = std::getenv("VGX_TEST_HTTP_PORT"))
        options.httpPort = static_cast<std::uint16_t>(std::atoi(port));
    return vgx::RunDaemon(argc, argv, options);
}
