#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "watchdog_fixture.h"

namespace vgx::test {
namespace {

using ::testing::ElementsAre;

constexpr std::int32_t kTimeout = 11010;

TEST_F(WatchdogTest, StartDelayHoldsTheFirstCycleUntilItsTick) {
    Configure([](Settings& s) {
        s.NetCheckEnabled = 1;
        s.DelayMinutes = 2;
    });
    Ticks(119);
    EXPECT_TRUE(icmpSender.echoes.empty());
    Tick();
    EXPECT_EQ(icmpSender.echoes.size(), 1u);

    Configure([](Settings& s) { s.NetCheckEnabled = 1; });
    icmpSender.echoes.clear();
    Tick();
    EXPECT_EQ(icmpSender.echoes.size(), 1u);
}

TEST_F(WatchdogTest, CyclesStartAnIntervalApartHoweverLongTheyTake) {
    Configure([](Settings& s) { s.NetCheckEnabled = 1; });
    icmpSender.echoTime = 50s;  // a slow probe
    for (int i = 0; i < 4; ++i)
        Cycle();
    ASSERT_EQ(icmpSender.starts.size(), 4u);
    for (size_t i = 1; i < 4; ++i) {
        const auto gap = icmpSender.starts[i] - icmpSender.starts[i - 1];
        EXPECT_GE(gap, 180s);
        EXPECT_LT(gap, 181s + 100ms);
    }
}

TEST_F(WatchdogTest, SettingTheClockBackDoesNotHoldTheChecksUp) {
    Configure([](Settings& s) { s.NetCheckEnabled = 1; });
    Tick();
    ASSERT_EQ(icmpSender.echoes.size(), 1u);
    clock.Set(clock.Now() - 1h);
    Ticks(181);
    EXPECT_EQ(icmpSender.echoes.size(), 2u);
}

TEST_F(WatchdogTest, ATextThatIsNoNumberFallsBackToTheConfirmedValues) {
    Configure([](Settings& s) { s.NetCheckEnabled = 1; });
    settings->Working().PoolingMinutes = "três";
    settings->Working().FailureLimit = "";
    BothAddressesSilent();
    Cycle();
    Cycle();
    ASSERT_EQ(icmpSender.starts.size(), 12u);
    EXPECT_GE(icmpSender.starts[6] - icmpSender.starts[0], 180s);  // confirmed: 3 minutes
    EXPECT_EQ(dog->FailureCount, 2);
    EXPECT_EQ(LogCount("BOOT!!! "), 0u);  // confirmed limit 7, not 0
}

TEST_F(WatchdogTest, SecondAddressIsTriedOnlyWhenTheFirstFailsThreeTimes) {
    Configure([](Settings& s) { s.NetCheckEnabled = 1; });
    icmpSender.status[kAddress1] = kTimeout;
    pump.onPump = [&] {
        if (icmpSender.echoes.size() == 1)
            icmpSender.status.erase(kAddress1);
    };
    Cycle();
    EXPECT_THAT(icmpSender.echoes, ElementsAre(kAddress1, kAddress1));
    EXPECT_NE(panel.Text1.find("1.1) "), std::string::npos);
    EXPECT_NE(panel.Text1.find("1.2) "), std::string::npos);
    EXPECT_EQ(panel.Text1.find("2.1) "), std::string::npos);
    EXPECT_EQ(dog->FailureCount, 0);

    pump.onPump = nullptr;
    icmpSender.echoes.clear();
    icmpSender.status[kAddress1] = kTimeout;
    Cycle();
    EXPECT_THAT(icmpSender.echoes, ElementsAre(kAddress1, kAddress1, kAddress1, kAddress2));
    EXPECT_EQ(LogCount(std::string("FALHA ENDEREÇO: ") + kAddress1), 1u);
    EXPECT_EQ(LogCount("FALHA ENDEREÇO: "), 1u);  // the second address answered
}

TEST_F(WatchdogTest, WebServerIsNotAskedAfterAnInternetFailure) {
    Configure([](Settings& s) {
        s.NetCheckEnabled = 1;
        s.IISCheckEnabled = 1;
    });
    BothAddressesSilent();
    Cycle();
    EXPECT_TRUE(httpClient.requests.empty());
    const std::string log = LogText();
    const auto first = log.find(std::string("FALHA ENDEREÇO: ") + kAddress1);
    const auto second = log.find(std::string("FALHA ENDEREÇO: ") + kAddress2);
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);

    icmpSender.status.clear();
    Cycle();
    EXPECT_THAT(httpClient.requests, ElementsAre("127.0.0.1/status"));
    EXPECT_NE(panel.Text1.find("IIS STATUS OK!!\r\n"), std::string::npos);
    EXPECT_EQ(dog->FailureCount, 0);
}

TEST_F(WatchdogTest, FailureLevelsClimbToTheLimitAndActAtEveryFurtherFailure) {
    Configure([](Settings& s) {
        s.NetCheckEnabled = 1;
        s.FailureLimit = "3";
        s.NetAction = 1;
    });
    BothAddressesSilent();

    Cycle();
    EXPECT_EQ(panel.lblNet, "FALHAS: 1");
    EXPECT_EQ(panel.trayPicture, kTrayFailures);
    EXPECT_EQ(panel.colours, ReportColours::Warning);
    Cycle();
    EXPECT_EQ(panel.trayPicture, kTrayNearLimit);
    EXPECT_EQ(panel.colours, ReportColours::Alarm);
    EXPECT_EQ(windows.warningShows, 0);

    Cycle();
    EXPECT_EQ(dog->Nfalhas, 3);
    EXPECT_EQ(LogCount("BOOT!!! "), 1u);
    EXPECT_EQ(windows.warningShows, 1);
    EXPECT_TRUE(dog->Warning().Counting());
    for (int i = 0; i < 10; ++i)
        dog->RestartWarningTick();

    // A further failure acts again but leaves the running countdown alone.
    Cycle();
    EXPECT_EQ(LogCount("BOOT!!! "), 2u);
    EXPECT_EQ(windows.warningShows, 2);
    EXPECT_EQ(dog->Warning().Counter(), 10);
    EXPECT_EQ(settings->Working().Boota, 2);

    icmpSender.status.clear();
    Cycle();
    EXPECT_EQ(dog->FailureCount, 0);
    EXPECT_EQ(panel.trayPicture, kTrayNormal);
    EXPECT_EQ(panel.colours, ReportColours::Normal);
}

TEST_F(WatchdogTest, WithoutThePrivilegeNothingIsDone) {
    Configure([](Settings& s) {
        s.NetCheckEnabled = 1;
        s.FailureLimit = "1";
        s.NetAction = 1;
    });
    power.privileged = false;
    BothAddressesSilent();
    Cycle();
    EXPECT_EQ(LogCount("FALHA NOS PRIVILEGIOS!!! "), 1u);
    EXPECT_EQ(windows.warningShows, 0);
}

TEST_F(WatchdogTest, PendingResetWaitsForACycleWithACheckSwitchedOn) {
    Configure([](Settings& s) { s.NetCheckEnabled = 1; });
    BothAddressesSilent();
    Cycle();
    Cycle();
    ASSERT_EQ(dog->FailureCount, 2);

    windows.answers.push_back(MessageAnswer::Yes);
    dog->cmdReset_Click();
    EXPECT_EQ(windows.messages.back(), "ATENÇÃO: Falhas resetadas. Aguarde o próximo pooling!");
    EXPECT_EQ(LogCount("FALHAS RESETADAS! "), 1u);

    settings->Working().NetCheckEnabled = 0;
    const std::string report = panel.Text1;
    Ticks(400);
    EXPECT_TRUE(dog->LimpaFalha);
    EXPECT_EQ(dog->FailureCount, 2);
    EXPECT_EQ(panel.Text1, report);

    settings->Working().NetCheckEnabled = 1;
    Cycle();
    EXPECT_FALSE(dog->LimpaFalha);
    EXPECT_EQ(dog->FailureCount, 1);  // cleared, then this cycle's failure
}

TEST_F(WatchdogTest, WebServerRestartLowersTheCountAndTheFourthOpensTheWarning) {
    Configure([](Settings& s) {
        s.IISCheckEnabled = 1;
        s.FailureLimit = "3";
        s.IISAction = 1;
        s.BootReset = 1;
    });
    httpClient.status = "500";
    Cycle();
    Cycle();
    Cycle();
    EXPECT_EQ(LogCount("FALHA IIS: http://127.0.0.1/status"), 3u);
    ASSERT_EQ(runner.runs.size(), 1u);
    EXPECT_EQ(runner.runs[0], (std::vector<std::string>{(dir / "jet.exe").string(), "/restart"}));
    EXPECT_EQ(runner.modes[0], 0700u);
    EXPECT_FALSE(std::filesystem::exists(dir / "jet.exe"));
    EXPECT_EQ(dog->FailureCount, 1);
    EXPECT_EQ(dog->Nfalhas, 3);
    EXPECT_EQ(panel.lblNet, "FALHAS: 3");
    const std::string log = LogText();
    EXPECT_LT(log.rfind("FALHA IIS: "), log.find("IIS REINICIADO "));

    // From 1 each failure reaches 3 again only after two more cycles; count restarts.
    while (runner.runs.size() < 4)
        Cycle();
    EXPECT_EQ(dog->IisRestarts, 4);
    EXPECT_EQ(windows.warningShows, 1);
    EXPECT_EQ(LogCount("BOOT!!! "), 1u);
}

TEST_F(WatchdogTest, RestartNeverTakesTheCountBelowZeroAndAToolThatCannotStartIsNotCounted) {
    Configure([](Settings& s) {
        s.IISCheckEnabled = 1;
        s.FailureLimit = "1";
        s.IISAction = 1;
    });
    httpClient.status = "";
    Cycle();
    EXPECT_EQ(runner.runs.size(), 1u);
    EXPECT_EQ(dog->FailureCount, 0);

    runner.startable = false;
    Cycle();
    EXPECT_EQ(LogCount("FALHA AO EXECUTAR JET.EXE! "), 1u);
    EXPECT_EQ(LogCount("IIS REINICIADO "), 1u);
    EXPECT_EQ(dog->IisRestarts, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "jet.exe"));
}

TEST_F(WatchdogTest, DailyLimitHoldsAcrossARestartOfTheProgram) {
    Configure([](Settings& s) {
        s.NetCheckEnabled = 1;
        s.FailureLimit = "1";
        s.NetAction = 0;
    });
    BothAddressesSilent();
    for (int i = 0; i < 11; ++i)
        Cycle();
    EXPECT_EQ(power.privilegeRequests, 11);
    EXPECT_EQ(settings->Working().Boota, 11);

    Restart();
    EXPECT_EQ(settings->Working().Boota, 11);
    Cycle();
    Cycle();
    EXPECT_EQ(power.privilegeRequests, 11);

    // A new day starts the count again, and the file says so.
    clock.Set(MakeLocalTime(2026, 12, 6, 0, 30));
    Cycle();
    EXPECT_EQ(power.privilegeRequests, 12);
    const std::string cfg = ReadFile(dir / "vgx.cfg");
    EXPECT_NE(cfg.find("\r\n1\r\n0\r\n\"06/12/2026\"\r\n"), std::string::npos) << cfg;
}

TEST_F(WatchdogTest, AHandEditedFileThatDoesNotLoadIsNotOverwrittenByTheCount) {
    Configure([](Settings& s) {
        s.NetCheckEnabled = 1;
        s.FailureLimit = "1";
    });
    std::string cfg = ReadFile(dir / "vgx.cfg");
    cfg.replace(cfg.find("\"05/12/2026\""), 12, "\"31/02/2026\"");
    WriteFile(dir / "vgx.cfg", cfg);
    BothAddressesSilent();
    Cycle();
    EXPECT_EQ(settings->Working().Boota, 1);
    EXPECT_EQ(ReadFile(dir / "vgx.cfg"), cfg);
    EXPECT_EQ(LogCount("FALHA AO GRAVAR VGX.CFG! "), 1u);
}

TEST_F(WatchdogTest, WaitSecondsEndsOnTimeAcrossMidnight) {
    clock.Set(MakeLocalTime(2026, 12, 5, 23, 59, 59, 500));
    const auto start = clock.Monotonic();
    dog->WaitSeconds(2);
    EXPECT_GE(clock.Monotonic() - start, 2s);
    EXPECT_LE(clock.Monotonic() - start, 2s + 100ms);
    dog->WaitSeconds(0);
    EXPECT_LE(clock.Monotonic() - start, 2s + 100ms);
}

}  // namespace
}  // namespace vgx::test
