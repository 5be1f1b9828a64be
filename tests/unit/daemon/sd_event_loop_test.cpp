// The daemon's loop keeps the port's promises: timers in their order, a handle dropped inside
// its own callback, descriptor readiness, signals taken from the loop.
#include "daemon/sd_event_loop.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <string>

#include "records/unique_fd.h"

namespace vgx {
namespace {

using namespace std::chrono_literals;

TEST(SdEventLoop, TimersWatchesAndSignalsComeFromTheLoop) {
    SdEventLoop loop;
    ASSERT_TRUE(loop.Ok());
    std::string order;
    LoopHandle late = loop.After(30ms, [&] { order += "c"; });
    LoopHandle early = loop.After(10ms, [&] { order += "a"; });
    LoopHandle cancelled = loop.After(20ms, [&] { order += "x"; });
    cancelled.reset();
    // A timer that drops itself and arms the next one inside its callback.
    LoopHandle self;
    self = loop.After(15ms, [&] {
        order += "b";
        self = loop.After(0ms, [&] { order += "B"; });
    });

    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
    const UniqueFd readEnd(fds[0]), writeEnd(fds[1]);
    LoopHandle watch = loop.Watch(readEnd.get(), kFdRead, [&](unsigned ready) {
        char byte;
        if ((ready & kFdRead) != 0 && ::read(readEnd.get(), &byte, 1) == 1)
            order += byte;
        watch.reset();
    });
    ASSERT_EQ(::write(writeEnd.get(), "p", 1), 1);

    sigset_t usr1;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    ASSERT_EQ(::sigprocmask(SIG_BLOCK, &usr1, nullptr), 0);
    LoopHandle signal = loop.Signal(SIGUSR1, [&] {
        order += "s";
        loop.Exit(7);
    });
    LoopHandle raise = loop.After(40ms, [] { ::kill(::getpid(), SIGUSR1); });

    EXPECT_EQ(loop.Run(), 7);
    EXPECT_EQ(order, "pabBcs");
}

}  // namespace
}  // namespace vgx
