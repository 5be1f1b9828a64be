// The program as the end-to-end tests run it: the real one, except that a restart of the
// computer is only recorded (in restart-requests.txt beside the executable), so is every
// systemctl command (systemctl-calls.txt; units go to units/ there; the state `show` reports
// is read from systemctl-show.txt), and the web server's port can be given in
// VGX_TEST_HTTP_PORT.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/ports.h"
#include "records/clock.h"
#include "service/command_runner.h"
#include "ui/run_vigiax.h"
#include "ui/service/run_service.h"

namespace {

std::filesystem::path ProgramDir() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}
std::ofstream AppendBesideProgram(const char* name) {
    return std::ofstream(ProgramDir() / name, std::ios::app);
}

struct RecordingPowerControl final : vgx::PowerControl {
    bool EnableShutdownPrivilege() override { return true; }
    void RestartComputer() override {
        AppendBesideProgram("restart-requests.txt")
            << vgx::FormatDateTimeSeconds(vgx::SystemClock().Now()) << "\n";
    }
};

// Answers every command with success and an empty output, except `show`, which answers with
// systemctl-show.txt beside the program when a test playing the service manager wrote one.
struct RecordingSystemctl final : vgx::CommandRunner {
    vgx::CommandResult Run(const std::vector<std::string>& argv) override {
        std::ofstream out = AppendBesideProgram("systemctl-calls.txt");
        for (const std::string& a : argv)
            out << a << ' ';
        out << '\n';
        std::string shown;
        if (std::ranges::find(argv, "show") != argv.end()) {
            std::ifstream in(ProgramDir() / "systemctl-show.txt");
            shown.assign(std::istreambuf_iterator<char>(in), {});
        }
        return {true, 0, shown};
    }
};

}  // namespace

int main(int argc, char** argv) {
    RecordingPowerControl power;
    RecordingSystemctl systemctl;
    vgx::ProgramOptions options{&power, 80, &systemctl, ProgramDir() / "units"};
    std::filesystem::create_directory(options.unitDir);
    if (const char* port = std::getenv("VGX_TEST_HTTP_PORT"))
        options.httpPort = static_cast<std::uint16_t>(std::atoi(port));
    if (vgx::IsServiceStart(argc, argv))
        return vgx::RunService(argc, argv, options);
    return vgx::RunVigiax(argc, argv, options);
}
