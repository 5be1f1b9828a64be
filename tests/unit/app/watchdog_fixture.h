#pragma once

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
};

}  // namespace vgx::test
