#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "records/settings_file.h"
#include "watchdog_world.h"

namespace vgx::test {
namespace {

// The checks switched on and the rules of a failure, as a preset of vgx.cfg.
struct Watch {
    std::int16_t net = 0, web = 0;
    const char* limit = "7";
    std::int16_t action = 0, bootReset = 0, delay = 0;
};

class WatchdogTest : public ::testing::Test, public WatchdogWorld {
protected:
    // Writes vgx.cfg with the preset and starts the program on it.
    void Configure(const Watch& w) {
        Settings s;
        s.NetAddress1 = kAddress1;
        s.NetAddress2 = kAddress2;
        s.WebPage = "http://127.0.0.1/status";
        s.ThresholdDay = DayOf(clock.Now());
        s.NetCheckEnabled = w.net;
        s.WebCheckEnabled = w.web;
        s.FailureLimit = w.limit;
        s.NetAction = s.WebAction = w.action;
        s.RestartAfterWebRestarts = w.bootReset;
        s.DelayMinutes = w.delay;
        ASSERT_TRUE(
            ReplaceFileContents(dir / "vgx.cfg", FormatSettingsFile(s, DayOf(clock.Now()))));
        Restart();
    }
};

using namespace ::testing;

constexpr std::int32_t kTimeout = 11010;

TEST_F(WatchdogTest, CyclesStartAfterTheDelayThenAnIntervalApartHoweverLongTheyTake) {
    Configure({.net = 1, .delay = 2});
    icmpSender.echoTime = 50s;  // a slow probe
    loop.RunFor(119s);
    // A pause holds the delay's count: the first cycle comes 20 s later.
    dog->Pause();
    loop.RunFor(20s);
    dog->Continue();
    loop.RunFor(900ms);
    EXPECT_TRUE(icmpSender.echoes.empty());
    loop.RunFor(100ms);
    ASSERT_EQ(icmpSender.echoes.size(), 1u);
    Cycle(3);
    ASSERT_EQ(icmpSender.starts.size(), 4u);
    for (size_t i = 1; i < 4; ++i)
        EXPECT_EQ(icmpSender.starts[i] - icmpSender.starts[i - 1], 180s);

    // Setting the wall clock back does not hold the checks up.
    clock.Set(clock.Now() - 1h);
    loop.RunFor(181s);
    EXPECT_EQ(icmpSender.echoes.size(), 5u);
    // Paused past its time, a cycle runs a second after the continue.
    dog->Pause();
    loop.RunFor(10min);
    dog->Continue();
    loop.RunFor(1s);
    EXPECT_EQ(icmpSender.echoes.size(), 6u);
}

TEST_F(WatchdogTest, ATextThatIsNoNumberFallsBackToTheConfirmedValues) {
    Configure({.net = 1, .web = 1});
    settings->Working().PoolingMinutes = "três";
    settings->Working().FailureLimit = "";
    BothAddressesSilent();
    Cycle(2);
    ASSERT_EQ(icmpSender.starts.size(), 12u);
    EXPECT_GE(icmpSender.starts[6] - icmpSender.starts[0], 180s);  // confirmed: 3 minutes
    EXPECT_EQ(dog->Failures(), 2);
    EXPECT_THAT(Logged(), Not(Contains("BOOT!!! ")));  // confirmed limit 7, not 0
    EXPECT_TRUE(httpClient.requests.empty()) << "no web check after an Internet failure";
}

TEST_F(WatchdogTest, SecondAddressIsTriedOnlyWhenTheFirstFailsThreeTimes) {
    Configure({.net = 1, .web = 1});
    icmpSender.status[kAddress1] = kTimeout;
    icmpSender.onEcho = [&] {
        if (icmpSender.echoes.size() == 2)
            icmpSender.status.erase(kAddress1);
    };
    Cycle();
    EXPECT_THAT(icmpSender.echoes, ElementsAre(kAddress1, kAddress1));
    EXPECT_EQ(icmpSender.starts[1] - icmpSender.starts[0], 2s + icmpSender.echoTime);
    EXPECT_THAT(panel.report, AllOf(HasSubstr("1.2) "), Not(HasSubstr("2.1) "))));
    EXPECT_THAT(httpClient.requests, ElementsAre("127.0.0.1|/status"));

    icmpSender.onEcho = nullptr;
    icmpSender.echoes.clear();
    icmpSender.status[kAddress1] = kTimeout;
    Cycle();
    EXPECT_THAT(icmpSender.echoes, ElementsAre(kAddress1, kAddress1, kAddress1, kAddress2));
    // The second address answered.
    EXPECT_THAT(Logged(), ElementsAre(std::string("FALHA ENDEREÇO: ") + kAddress1));
}

TEST_F(WatchdogTest, FailureLevelsClimbToTheLimitAndActAtEveryFurtherFailure) {
    Configure({.net = 1, .limit = "3", .action = 1});
    BothAddressesSilent();

    Cycle();
    EXPECT_EQ(panel.trayPicture, kTrayFailures);
    EXPECT_EQ(panel.colours, ReportColours::Warning);
    Cycle();
    EXPECT_EQ(panel.trayPicture, kTrayNearLimit);
    EXPECT_EQ(panel.colours, ReportColours::Alarm);
    Cycle();
    EXPECT_THAT(Logged(), Contains("BOOT!!! ").Times(1));
    EXPECT_EQ(windows.warningShows, 1);
    loop.RunFor(31s);
    EXPECT_EQ(power.restarts, 1);

    // A warning opened by hand just before a failed cycle: the cycle acts again but leaves the
    // running countdown alone.
    loop.RunFor(
        std::chrono::ceil<std::chrono::milliseconds>(*dog->LastCycleStart() + 170s - clock.Now()));
    dog->RestartButton();
    const LocalTime pressed = clock.Now();
    Cycle();
    EXPECT_THAT(Logged(), Contains("BOOT!!! ").Times(2));
    EXPECT_EQ(windows.warningShows, 3);
    EXPECT_EQ(dog->Warning().Counter(), (clock.Now() - pressed) / 1s);
    EXPECT_EQ(settings->Working().ThresholdEvents, 2);

    icmpSender.status.clear();
    Cycle();
    EXPECT_EQ(dog->Failures(), 0);
    EXPECT_EQ(panel.trayPicture, kTrayNormal);
    EXPECT_EQ(panel.colours, ReportColours::Normal);
}

TEST_F(WatchdogTest, PendingResetWaitsForACycleWithACheckSwitchedOn) {
    Configure({.net = 1});
    BothAddressesSilent();
    Cycle(2);
    ASSERT_EQ(dog->Failures(), 2);

    windows.answers.push_back(PromptAnswer::Yes);
    dog->AskToResetFailures();
    loop.RunFor(1s);
    EXPECT_THAT(windows.messages,
                ElementsAre(HasSubstr("resetar as falhas"),
                            "ATENÇÃO: Falhas resetadas. Aguarde o próximo pooling!"));
    EXPECT_THAT(Logged(), Contains("FALHAS RESETADAS! "));

    settings->Working().NetCheckEnabled = 0;
    loop.RunFor(400s);
    EXPECT_EQ(dog->Failures(), 2);

    settings->Working().NetCheckEnabled = 1;
    Cycle();
    EXPECT_EQ(dog->Failures(), 1);  // cleared, then this cycle's failure
}

TEST_F(WatchdogTest, WebServerRestartsLowerTheCountAndTheFourthOpensTheWarning) {
    Configure({.web = 1, .limit = "3", .action = 1, .bootReset = 1});
    httpClient.answer.status = "500";
    Cycle(3);
    EXPECT_EQ(runner.runs,
              (std::vector<std::vector<std::string>>{{(dir / "jet.exe").string(), "/restart"}}));
    EXPECT_FALSE(std::filesystem::exists(dir / "jet.exe"));
    EXPECT_EQ(dog->Failures(), 1);
    EXPECT_EQ(panel.failureLabel, "FALHAS: 3");
    const std::string failure = "FALHA IIS: http://127.0.0.1/status";
    EXPECT_THAT(Logged(), ElementsAre(failure, failure, failure, "IIS REINICIADO "));

    // A tool that cannot start still counts; at limit 1 the count stays at zero, never below.
    runner.startable = false;
    httpClient.answer.status = "";
    settings->Working().FailureLimit = "1";
    Cycle(3);
    EXPECT_EQ(dog->Failures(), 0);
    EXPECT_EQ(dog->WebServerRestarts(), 4);
    EXPECT_EQ(windows.warningShows, 1);
    EXPECT_THAT(Logged(),
                AllOf(Contains("FALHA AO EXECUTAR JET.EXE! ").Times(3),
                      Contains("IIS REINICIADO ").Times(1), Contains("BOOT!!! ").Times(1)));
}

// A stop (SIGTERM at a shutdown stops the web server first) while a check waits: the cycle
// ends there, counting nothing and doing nothing.
TEST_F(WatchdogTest, AStopWhileACheckWaitsEndsTheCycleWithoutCountingOrActing) {
    Configure({.web = 1, .limit = "1", .action = 1});
    httpClient.answer.status = "500";
    httpClient.answerTime = 30s;
    loop.RunFor(10s);
    ASSERT_TRUE(dog->CycleRunning());
    dog->Stop();
    loop.RunFor(10min);
    EXPECT_EQ(loop.Pending(), 0u);
    EXPECT_EQ(dog->Failures(), 0);
    EXPECT_TRUE(runner.runs.empty());
    EXPECT_THAT(Logged(), Not(Contains(HasSubstr("FALHA IIS"))));
    EXPECT_EQ(settings->Working().ThresholdEvents, 0);
}

// No descriptor or memory for a probe is this program's fault: logged, never counted, so it can
// never lead to a restart.
TEST_F(WatchdogTest, AFaultOfThisProgramIsLoggedAndNeverCounted) {
    Configure({.net = 1, .web = 1, .limit = "1", .action = 1});
    icmpSender.answer.localFault = EMFILE;
    Cycle();
    httpClient.answer.localFault = ENFILE;
    icmpSender.answer.localFault = 0;
    Cycle();
    EXPECT_EQ(dog->Failures(), 0);
    EXPECT_EQ(windows.warningShows, 0);
    EXPECT_EQ(icmpSender.echoes.size(), 2u) << "one try a cycle: none after a fault of its own";
    EXPECT_THAT(Logged(),
                ElementsAre("CICLO NÃO CONTADO! FALHA LOCAL: DESCRITORES ESGOTADOS NO VIGIAX ",
                            "CICLO NÃO CONTADO! FALHA LOCAL: DESCRITORES ESGOTADOS NO SISTEMA "));
    EXPECT_EQ(dog->Counts().inconclusive, 2u);
    EXPECT_EQ(dog->Counts().failedCycles, 0u);
}

TEST_F(WatchdogTest, DailyLimitHoldsAcrossARestartOfTheProgramAndNeedsThePrivilege) {
    Configure({.net = 1, .limit = "1", .action = 1});
    power.privileged = false;
    BothAddressesSilent();
    Cycle(11);
    EXPECT_EQ(power.privilegeRequests, 11);
    EXPECT_THAT(Logged(), Contains("FALHA NOS PRIVILEGIOS!!! ").Times(11));
    EXPECT_EQ(windows.warningShows, 0);

    Restart();
    EXPECT_EQ(settings->Working().ThresholdEvents, 11);
    Cycle(2);
    EXPECT_EQ(power.privilegeRequests, 11);

    // A new day starts the count again, and the file says so.
    clock.Set(MakeLocalTime(2026, 12, 6, 0, 30));
    Cycle();
    EXPECT_EQ(power.privilegeRequests, 12);
    EXPECT_THAT(ReadFile(dir / "vgx.cfg"), HasSubstr("\r\n1\r\n1\r\n\"06/12/2026\"\r\n"));
}

// A hand-edited file that does not load, or anything under the name that is no file.
TEST_F(WatchdogTest, TheCountNeverOverwritesWhatDoesNotLoad) {
    const auto cfg = dir / "vgx.cfg";
    Configure({.net = 1, .limit = "1"});
    std::string damaged = ReadFile(cfg);
    damaged.replace(damaged.find("\"05/12/2026\""), 12, "\"31/02/2026\"");
    for (int kind = 0; kind <= kNonFileKinds; ++kind) {
        std::filesystem::remove_all(cfg);
        Configure({.net = 1, .limit = "1"});
        std::filesystem::remove(cfg);
        std::filesystem::remove_all(dir / "logs");
        if (kind < kNonFileKinds)
            PlantNonFile(kind, cfg);
        else
            WriteFile(cfg, damaged);
        const auto type = std::filesystem::symlink_status(cfg).type();
        BothAddressesSilent();
        Cycle();
        EXPECT_EQ(settings->Working().ThresholdEvents, 1);
        EXPECT_EQ(std::filesystem::symlink_status(cfg).type(), type);
        EXPECT_THAT(Logged(), Contains("FALHA AO GRAVAR VGX.CFG! ").Times(1));
    }
    EXPECT_EQ(ReadFile(cfg), damaged);
}

TEST_F(WatchdogTest, CancellingUndoesTheEventAndANewWarningStartsFromThirty) {
    Configure({.net = 1, .limit = "1", .action = 1});
    BothAddressesSilent();
    Cycle();
    ASSERT_TRUE(dog->Warning().Counting());
    ASSERT_EQ(settings->Working().ThresholdEvents, 1);
    loop.RunFor(29s);

    settings->Working().PoolingMinutes = "9";  // an unconfirmed edit
    windows.hold = true;
    const int shownBefore = windows.warningShows;
    dog->CancelRestartWarning();
    // The countdown is stopped before the user reads; a threshold event while the message is
    // open does not open a warning the user could not answer behind it.
    loop.RunFor(5s);
    dog->ShowRestartWarning();
    EXPECT_EQ(windows.warningShows, shownBefore);
    EXPECT_EQ(power.restarts, 0);
    EXPECT_FALSE(dog->Warning().Counting());
    EXPECT_EQ(windows.warningHides, 1);
    windows.hold = false;
    windows.Answer(PromptAnswer::Ok);
    EXPECT_THAT(
        windows.messages,
        ElementsAre("ATENÇÃO: Por segurança as falhas do pooling foram resetadas para zero!"));
    EXPECT_EQ(settings->Working().ThresholdEvents, 0);
    EXPECT_EQ(settings->Working().PoolingMinutes, "3");
    EXPECT_THAT(Logged(), ElementsAre(_, _, "BOOT!!! ", "FALHAS RESETADAS! ",
                                      "BOOT CANCELADO PELO USUÁRIO! "));
    EXPECT_THAT(ReadFile(dir / "vgx.cfg"), HasSubstr("\"\r\n0\r\n1\r\n\""));

    // The next warning gives the full thirty seconds again, beeping each, and restarts once.
    icmpSender.status.clear();
    dog->RestartButton();
    EXPECT_THAT(Logged(), Contains("BOTÃO DE BOOT PRESSIONADO! "));
    const int beeps = windows.beeps;
    loop.RunFor(1s);
    EXPECT_EQ(dog->Warning().Label(), "Boot em: \r\r30 segundos...");
    loop.RunFor(29s);
    EXPECT_EQ(dog->Warning().Label(), "Boot em: \r\r1 segundos...");
    EXPECT_EQ(power.restarts, 0);
    loop.RunFor(1s);
    EXPECT_EQ(power.restarts, 1);
    EXPECT_EQ(windows.beeps - beeps, 31);
    loop.RunFor(10s);
    EXPECT_EQ(power.restarts, 1);
}

}  // namespace
}  // namespace vgx::test
