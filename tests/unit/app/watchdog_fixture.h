#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "records/settings_file.h"
#include "watchdog_world.h"

namespace vgx::test {

class WatchdogTest : public ::testing::Test, public WatchdogWorld {
protected:
    // Writes vgx.cfg with the changes applied and starts the program on it.
    void Configure(const std::function<void(Settings&)>& change) {
        Settings s;
        s.NetAddress1 = kAddress1;
        s.NetAddress2 = kAddress2;
        s.IISUrl = "http://127.0.0.1/status";
        s.DataAtual = DayOf(clock.Now());
        change(s);
        ASSERT_TRUE(
            ReplaceFileContents(dir / "vgx.cfg", FormatSettingsFile(s, DayOf(clock.Now()))));
        Restart();
    }
    // The Internet check on, with the limit and action of a failure.
    void WatchNet(const char* limit, std::int16_t action = 0) {
        Configure([&](Settings& s) {
            s.NetCheckEnabled = 1;
            s.FailureLimit = limit;
            s.NetAction = action;
        });
    }
    // The web-server check on, with the limit, action and restart fallback of a failure.
    void WatchWeb(const char* limit, std::int16_t action, std::int16_t bootReset = 0) {
        Configure([&](Settings& s) {
            s.IISCheckEnabled = 1;
            s.FailureLimit = limit;
            s.IISAction = action;
            s.BootReset = bootReset;
        });
    }
};

using ::testing::_;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

}  // namespace vgx::test
