// The service copy's answers to pause, continue and stop, on the engine with fakes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <syslog.h>

#include <map>
#include <stdexcept>

#include "app/engine.h"
#include "app/fakes.h"
#include "service/service_events.h"
#include "support/temp_dir.h"

namespace vgx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

class FakeTimers final : public Timers {
public:
    void SetInterval(EngineTimer timer, int milliseconds) override {
        if (failing)
            throw std::runtime_error("timer");
        intervals[timer] = milliseconds;
    }
    std::map<EngineTimer, int> intervals;
    bool failing = false;
};

class Recorder final : public SystemLog, public ServiceNotifier {
public:
    void Write(int priority, const std::string& message) override {
        logged.emplace_back(priority, message);
    }
    void Notify(const std::string& state) override { told.push_back(state); }
    std::vector<std::pair<int, std::string>> logged;
    std::vector<std::string> told;
};

struct ServiceCopy {
    TempDir dir;
    FakeClock clock;
    FakePump pump{clock};
    FakePower power;
    FakeRunner runner;
    FakeWindows windows;
    FakeTimers timers;
    FakeIcmp icmp{clock};
    FakeResolver resolver;
    FakeHttp http;
    Recorder recorder;
    Engine engine{dir.path(),
                  EnginePorts{clock, pump, power, runner, windows, timers, icmp, resolver, http}};
    ServiceEvents events{ServiceEventPorts{engine, timers, windows, recorder, recorder}};
};

TEST(ServiceEvents, PauseStopsBothTimersUntilContinueAndStopEndsTheWaits) {
    ServiceCopy s;
    s.engine.Form_Load();
    s.events.NTService_Start();
    s.events.KeepAlive();

    s.events.NTService_Pause();
    EXPECT_TRUE(s.engine.ServicePaused());
    EXPECT_THAT(s.timers.intervals,
                ElementsAre(Pair(EngineTimer::Ping, -1), Pair(EngineTimer::Pasta, -1)));
    EXPECT_EQ(s.engine.Panel().trayPicture, kTrayPaused);

    s.events.NTService_Continue();
    EXPECT_FALSE(s.engine.ServicePaused());
    EXPECT_THAT(s.timers.intervals,
                ElementsAre(Pair(EngineTimer::Ping, 1000), Pair(EngineTimer::Pasta, 23000)));
    EXPECT_EQ(s.engine.Panel().trayPicture, kTrayNormal);

    s.events.NTService_Stop();
    const int pumped = s.pump.calls;
    s.engine.Dog().WaitSeconds(5);
    EXPECT_EQ(s.pump.calls, pumped);

    EXPECT_THAT(s.recorder.logged, ElementsAre(Pair(LOG_INFO, "Serviço Pausado"),
                                               Pair(LOG_INFO, "Serviço Continuado")));
    EXPECT_THAT(s.recorder.told,
                ElementsAre("READY=1\nSTATUS=Vigiando o servidor", "WATCHDOG=1",
                            "STATUS=Serviço Pausado", "STATUS=Serviço Continuado", "STOPPING=1"));
}

TEST(ServiceEvents, AnErrorInAHandlerGoesToTheSystemLog) {
    ServiceCopy s;
    s.timers.failing = true;
    s.events.NTService_Pause();
    s.events.NTService_Continue();
    EXPECT_THAT(s.recorder.logged, ElementsAre(Pair(LOG_ERR, "[0] timer -> Evento Pause"),
                                               Pair(LOG_ERR, "[0] timer -> Evento Continue")));
}

}  // namespace
}  // namespace vgx::test
