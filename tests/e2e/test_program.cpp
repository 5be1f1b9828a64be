// The program as the end-to-end tests run it: the real one, except that a restart of the
// computer is only recorded (restart-requests.txt beside the executable), so is every systemctl
// command (systemctl-calls.txt; units go to units/ there; the state `show` reports is read from
// systemctl-show.txt), the web server's port can be given in VGX_TEST_HTTP_PORT, and the service
// copy is the test build of the daemon.
#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "app/process_start.h"
#include "recording_power.h"
#include "service/command_runner.h"
#include "service/daemon_handoff.h"
#include "ui/run_vigiax.h"

namespace {

// Answers every command with success and an empty output, except `show`, which answers with
// systemctl-show.txt beside the program when a test playing the service manager wrote one.
struct RecordingSystemctl final : vgx::CommandRunner {
    vgx::CommandResult Run(const std::vector<std::string>& argv) override {
        std::ofstream out(vgx::ExecutablePath().parent_path() / "systemctl-calls.txt",
                          std::ios::app);
        for (const std::string& a : argv)
            out << a << ' ';
        out << '\n';
        std::string shown;
        if (std::ranges::find(argv, "show") != argv.end()) {
            std::ifstream in(vgx::ExecutablePath().parent_path() / "systemctl-show.txt");
            shown.assign(std::istreambuf_iterator<char>(in), {});
        }
        return {true, 0, shown};
    }
};

}  // namespace

int main(int argc, char** argv) {
    vgx::PrepareProcess();
    if (vgx::IsServiceStart(argc, argv))
        return vgx::HandOverToDaemon(argc, argv, "vigiaxd-e2e");
    vgx::test::RecordingPowerControl power;
    RecordingSystemctl systemctl;
    vgx::ProgramOptions options{{&power, 80},
                                &systemctl,
                                vgx::ExecutablePath().parent_path() / "units",
                                "vigiaxd-e2e"};
    std::filesystem::create_directory(options.unitDir);
    if (const char* port = std::getenv("VGX_TEST_HTTP_PORT"))
        options.engine.httpPort = static_cast<std::uint16_t>(std::atoi(port));
    return vgx::RunVigiax(argc, argv, options);
}
