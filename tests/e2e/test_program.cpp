// The program as the end-to-end tests run it: the real one, except that a restart of the
// computer is only recorded (in restart-requests.txt beside the executable) and the web
// server's port can be given in VGX_TEST_HTTP_PORT.
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "app/ports.h"
#include "ui/run_vigiax.h"
#include "ui/service/run_service.h"

namespace {

class RecordingPowerControl final : public vgx::PowerControl {
public:
    bool EnableShutdownPrivilege() override { return true; }
    void RestartComputer() override {
        std::error_code ec;
        const auto dir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
        const std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%d/%m/%Y %H:%M:%S", &tm);
        std::ofstream(dir / "restart-requests.txt", std::ios::app) << stamp << "\n";
    }
};

}  // namespace

int main(int argc, char** argv) {
    RecordingPowerControl power;
    vgx::ProgramOptions options;
    options.power = &power;
    if (const char* port = std::getenv("VGX_TEST_HTTP_PORT")) {
        options.httpPort = static_cast<std::uint16_t>(std::atoi(port));
    }
    if (vgx::IsServiceStart(argc, argv))
        return vgx::RunService(argc, argv, options);
    return vgx::RunVigiax(argc, argv, options);
}
