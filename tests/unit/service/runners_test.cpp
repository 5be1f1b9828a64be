// The real command runners on harmless shell commands.
#include <gtest/gtest.h>

#include "service/command_runner.h"
#include "service/keep_alive_runner.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;

TEST(CommandRunner, KeepsTheOutputAndTheExitStatus) {
    const auto runner = MakeSystemCommandRunner();
    const CommandResult r = runner->Run({"sh", "-c", "echo 'ActiveState=active'; exit 3"});
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.exitStatus, 3);
    EXPECT_EQ(r.output, "ActiveState=active\n");
    EXPECT_FALSE(r.Succeeded());
    EXPECT_TRUE(runner->Run({"true"}).Succeeded());
    EXPECT_FALSE(runner->Run({"vgx-no-such-program"}).started);
}

TEST(KeepAliveRunner, KeepsAliveWhileItWaitsAndReportsWhatDidNotRun) {
    int keepAlives = 0;
    KeepAliveProcessRunner runner([&keepAlives] { ++keepAlives; }, 100ms);
    EXPECT_TRUE(runner.RunAndWait({"sh", "-c", "sleep 0.45; exit 1"}));
    EXPECT_GE(keepAlives, 3);
    EXPECT_FALSE(runner.RunAndWait({"/vgx/no-such-program"}));
    EXPECT_FALSE(runner.RunAndWait({"sh", "-c", "kill -KILL $$"}));
}

}  // namespace
}  // namespace vgx::test
