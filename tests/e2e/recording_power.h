#pragma once

#include <filesystem>
#include <fstream>

#include "app/engine_builder.h"
#include "app/ports.h"
#include "records/clock.h"

namespace vgx::test {

// A restart of the computer, only recorded (in restart-requests.txt beside the executable).
struct RecordingPowerControl final : PowerControl {
    bool EnableShutdownPrivilege() override { return true; }
    void RestartComputer() override {
        std::ofstream(ExecutablePath().parent_path() / "restart-requests.txt", std::ios::app)
            << FormatDateTimeSeconds(SystemClock().Now()) << "\n";
    }
};

}  // namespace vgx::test
