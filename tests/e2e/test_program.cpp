// The program as the end-to-end tests run it: the real one, except that a restart of the
// computer is only recorded (in restart-requests.txt beside the executable), so is every
// systemctl command (systemctl-calls.txt; units go to units/ there), and the web server's
// port can be given in VGX_TEST_HTTP_PORT.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/ports.h"
#include "records/clock.h"
#include "service/command_runner.h"
#include "ui/run_vigiax.h"
#include "ui/service/run_service.h"

namespace {

class RecordingPowerControl final : public vgx::PowerControl {
public:
    bool EnableShutdownPrivilege() override { return true; }
    void RestartComputer() override {
        std::error_code ec;
        const auto dir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
        std::ofstream(dir / "restart-requests.txt", std::ios::app)
            << vgx::FormatDateTimeSeconds(vgx::SystemClock().Now()) << "\n";
    }
};

std::filesystem::path ProgramDir() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
}

// Answers every systemctl command with success and an empty output.
class RecordingSystemctl final : public vgx::CommandRunner {
public:
    vgx::CommandResult Run(const std::vector<std::string>& argv) override {
        std::ofstream out(ProgramDir() / "systemctl-calls.txt", std::ios::app);
        for (const std::string& a : argv)
            out << a << ' ';
        out << '\n';
        return {true, 0, {}};
    }
};

}  // namespace

int main(int argc, char** argv) {
    RecordingPowerControl power;
    vgx::ProgramOptions options;
    options.power = &power;
    RecordingSystemctl systemctl;
    options.systemctl = &systemctl;
    options.unitDir = ProgramDir() / "units";
    std::error_code ec;
    std::filesystem::create_directory(options.unitDir, ec);
    if (const char* port = std::getenv("VGX_TEST_HTTP_PORT")) {
        options.httpPort = static_cast<std::uint16_t>(std::atoi(port));
    }
    if (vgx::IsServiceStart(argc, argv))
        return vgx::RunService(argc, argv, options);
    return vgx::RunVigiax(argc, argv, options);
}
