// The real runners on harmless shell commands.
#include <gtest/gtest.h>

#include "service/command_runner.h"
#include "service/keep_alive_runner.h"

namespace vgx::test {
namespace {

TEST(CommandRunner, KeepsTheOutputAndTheExitStatus) {
    const auto runner = MakeSystemCommandRunner();
    const CommandResult r = runner->Run({"sh", "-c", "echo ActiveState=active; exit 3"});
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.exitStatus, 3);
    EXPECT_EQ(r.output, "ActiveState=active\n");
    EXPECT_FALSE(runner->Run({"vgx-no-such-program"}).started);
}

TEST(KeepAliveRunner, KeepsAliveWhileItWaitsAndTellsWhatDidNotRun) {
    int keepAlives = 0;
    KeepAliveProcessRunner runner([&keepAlives] { ++keepAlives; }, std::chrono::milliseconds(100));
    EXPECT_TRUE(runner.RunAndWait({"sh", "-c", "sleep 0.45; exit 1"}));
    EXPECT_GE(keepAlives, 3);
    EXPECT_FALSE(runner.RunAndWait({"/vgx/no-such-program"}));
    EXPECT_FALSE(runner.RunAndWait({"sh", "-c", "kill -KILL $$"}));
}

}  // namespace
}  // namespace vgx::test
