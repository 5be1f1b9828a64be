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
        s.IISUrl = "http://127.0.0.1/status";
        s.DataAtual = DayOf(clock.Now());
        s.NetCheckEnabled = w.net;
        s.IISCheckEnabled = w.web;
        s.FailureLimit = w.limit;
        s.NetAction = s.IISAction = w.action;
        s.BootReset = w.bootReset;
        s.DelayMinutes = w.delay;
        ASSERT_TRUE(
            ReplaceFileContents(dir / "vgx.cfg", FormatSettingsFile(s, DayOf(clock.Now()))));
        Restart();
    }
};

using ::testing::_;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr std::int32_t kTimeout = 11010;

TEST_F(WatchdogTest, CyclesStartAfterTheDelayThenAnIntervalApartHoweverLongTheyTake) {
    Configure({.net = 1, .delay = 2});
    icmpSender.echoTime = 50s;  // a slow probe
    Ticks(119);
    EXPECT_TRUE(icmpSender.echoes.empty());
    Ticks();
    for (int i = 0; i < 3; ++i)
        Cycle();
    ASSERT_EQ(icmpSender.starts.size(), 4u);
    for (size_t i = 1; i < 4; ++i) {
        const auto gap = icmpSender.starts[i] - icmpSender.starts[i - 1];
        EXPECT_GE(gap, 180s);
        EXPECT_LT(gap, 181s + 100ms);
    }

    // Setting the wall clock back does not hold the checks up.
    clock.Set(clock.Now() - 1h);
    Ticks(181);
    EXPECT_EQ(icmpSender.echoes.size(), 5u);
}

TEST_F(WatchdogTest, ATextThatIsNoNumberFallsBackToTheConfirmedValues) {
    Configure({.net = 1, .web = 1});
    settings->Working().PoolingMinutes = "três";
    settings->Working().FailureLimit = "";
    BothAddressesSilent();
    Cycle();
    Cycle();
    ASSERT_EQ(icmpSender.starts.size(), 12u);
    EXPECT_GE(icmpSender.starts[6] - icmpSender.starts[0], 180s);  // confirmed: 3 minutes
    EXPECT_EQ(dog->FailureCount, 2);
    EXPECT_THAT(Logged(), Not(Contains("BOOT!!! ")));  // confirmed limit 7, not 0
    EXPECT_TRUE(httpClient.requests.empty()) << "no web check after an Internet failure";
}

TEST_F(WatchdogTest, SecondAddressIsTriedOnlyWhenTheFirstFailsThreeTimes) {
    Configure({.net = 1, .web = 1});
    icmpSender.status[kAddress1] = kTimeout;
    pump.onPump = [&] {
        if (icmpSender.echoes.size() == 1)
            icmpSender.status.erase(kAddress1);
    };
    Cycle();
    EXPECT_THAT(icmpSender.echoes, ElementsAre(kAddress1, kAddress1));
    EXPECT_THAT(panel.Text1, AllOf(HasSubstr("1.2) "), Not(HasSubstr("2.1) "))));
    EXPECT_THAT(httpClient.requests, ElementsAre("127.0.0.1/status"));

    pump.onPump = nullptr;
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
    for (int i = 0; i < 10; ++i)
        dog->RestartWarningTick();

    // A further failure acts again but leaves the running countdown alone.
    Cycle();
    EXPECT_THAT(Logged(), Contains("BOOT!!! ").Times(2));
    EXPECT_EQ(windows.warningShows, 2);
    EXPECT_EQ(dog->Warning().Counter(), 10);
    EXPECT_EQ(settings->Working().Boota, 2);

    icmpSender.status.clear();
    Cycle();
    EXPECT_EQ(dog->FailureCount, 0);
    EXPECT_EQ(panel.trayPicture, kTrayNormal);
    EXPECT_EQ(panel.colours, ReportColours::Normal);
}

TEST_F(WatchdogTest, PendingResetWaitsForACycleWithACheckSwitchedOn) {
    Configure({.net = 1});
    BothAddressesSilent();
    Cycle();
    Cycle();
    ASSERT_EQ(dog->FailureCount, 2);

    windows.answers.push_back(PromptAnswer::Yes);
    dog->cmdReset_Click();
    EXPECT_THAT(windows.messages,
                ElementsAre(HasSubstr("resetar as falhas"),
                            "ATENÇÃO: Falhas resetadas. Aguarde o próximo pooling!"));
    EXPECT_THAT(Logged(), Contains("FALHAS RESETADAS! "));

    settings->Working().NetCheckEnabled = 0;
    Ticks(400);
    EXPECT_TRUE(dog->LimpaFalha);
    EXPECT_EQ(dog->FailureCount, 2);

    settings->Working().NetCheckEnabled = 1;
    Cycle();
    EXPECT_FALSE(dog->LimpaFalha);
    EXPECT_EQ(dog->FailureCount, 1);  // cleared, then this cycle's failure
}

TEST_F(WatchdogTest, WebServerRestartsLowerTheCountAndTheFourthOpensTheWarning) {
    Configure({.web = 1, .limit = "3", .action = 1, .bootReset = 1});
    httpClient.status = "500";
    Cycle();
    Cycle();
    Cycle();
    EXPECT_EQ(runner.runs,
              (std::vector<std::vector<std::string>>{{(dir / "jet.exe").string(), "/restart"}}));
    EXPECT_EQ(dog->FailureCount, 1);
    EXPECT_EQ(panel.lblNet, "FALHAS: 3");
    const std::string failure = "FALHA IIS: http://127.0.0.1/status";
    EXPECT_THAT(Logged(), ElementsAre(failure, failure, failure, "IIS REINICIADO "));

    // A tool that cannot start still counts; at limit 1 the count stays at zero, never below.
    runner.startable = false;
    httpClient.status = "";
    settings->Working().FailureLimit = "1";
    for (int i = 0; i < 3; ++i)
        Cycle();
    EXPECT_EQ(dog->FailureCount, 0);
    EXPECT_EQ(dog->IisRestarts, 4);
    EXPECT_EQ(windows.warningShows, 1);
    EXPECT_THAT(Logged(),
                AllOf(Contains("FALHA AO EXECUTAR JET.EXE! ").Times(3),
                      Contains("IIS REINICIADO ").Times(1), Contains("BOOT!!! ").Times(1)));
}

TEST_F(WatchdogTest, DailyLimitHoldsAcrossARestartOfTheProgramAndNeedsThePrivilege) {
    Configure({.net = 1, .limit = "1", .action = 1});
    power.privileged = false;
    BothAddressesSilent();
    for (int i = 0; i < 11; ++i)
        Cycle();
    EXPECT_EQ(power.privilegeRequests, 11);
    EXPECT_THAT(Logged(), Contains("FALHA NOS PRIVILEGIOS!!! ").Times(11));
    EXPECT_EQ(windows.warningShows, 0);

    Restart();
    EXPECT_EQ(settings->Working().Boota, 11);
    Cycle();
    Cycle();
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
        EXPECT_EQ(settings->Working().Boota, 1);
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
    ASSERT_EQ(settings->Working().Boota, 1);
    for (int i = 0; i < 29; ++i)
        dog->RestartWarningTick();

    settings->Working().PoolingMinutes = "9";  // an unconfirmed edit
    // A threshold event while the cancel's message is open does not open a warning that the
    // user could not answer behind it.
    int shownDuringCancel = -1;
    pump.onPump = [&] {
        dog->ShowRestartWarning();
        shownDuringCancel = windows.warningShows;
    };
    const int shownBefore = windows.warningShows;
    dog->RestartWarningCancel();
    pump.onPump = nullptr;
    EXPECT_EQ(shownDuringCancel, shownBefore);
    EXPECT_FALSE(dog->Warning().Counting());
    EXPECT_EQ(windows.warningHides, 1);
    EXPECT_THAT(
        windows.messages,
        ElementsAre("ATENÇÃO: Por segurança as falhas do pooling foram resetadas para zero!"));
    EXPECT_TRUE(dog->LimpaFalha);
    EXPECT_EQ(settings->Working().Boota, 0);
    EXPECT_EQ(settings->Working().PoolingMinutes, "3");
    EXPECT_THAT(Logged(), ElementsAre(_, _, "BOOT!!! ", "FALHAS RESETADAS! ",
                                      "BOOT CANCELADO PELO USUÁRIO! "));
    EXPECT_THAT(ReadFile(dir / "vgx.cfg"), HasSubstr("\"\r\n0\r\n1\r\n\""));

    // The next warning gives the full thirty seconds again, beeping each, and restarts once.
    dog->cmdBot_Click();
    EXPECT_THAT(Logged(), Contains("BOTÃO DE BOOT PRESSIONADO! "));
    const int beeps = windows.beeps;
    dog->RestartWarningTick();
    EXPECT_EQ(dog->Warning().Label(), "Boot em: \r\r30 segundos...");
    for (int i = 2; i <= 30; ++i)
        dog->RestartWarningTick();
    EXPECT_EQ(dog->Warning().Label(), "Boot em: \r\r1 segundos...");
    EXPECT_EQ(power.restarts, 0);
    dog->RestartWarningTick();
    EXPECT_EQ(power.restarts, 1);
    EXPECT_EQ(windows.beeps - beeps, 31);
    dog->RestartWarningTick();
    EXPECT_EQ(power.restarts, 1);
}

}  // namespace
}  // namespace vgx::test
