#include "watchdog_fixture.h"

namespace vgx::test {
namespace {

TEST_F(WatchdogTest, AWarningLeftAloneRestartsAtTheThirtyFirstSecond) {
    dog->ShowRestartWarning();
    dog->RestartWarningTick();
    EXPECT_EQ(dog->Warning().Label(), "Boot em: \r\r30 segundos...");
    for (int i = 2; i <= 30; ++i)
        dog->RestartWarningTick();
    EXPECT_EQ(dog->Warning().Label(), "Boot em: \r\r1 segundos...");
    EXPECT_EQ(power.restarts, 0);
    dog->RestartWarningTick();
    EXPECT_EQ(power.restarts, 1);
    EXPECT_EQ(windows.beeps, 31);
    EXPECT_FALSE(dog->Warning().Counting());
    dog->RestartWarningTick();
    EXPECT_EQ(power.restarts, 1);
}

TEST_F(WatchdogTest, CancellingUndoesTheEventAndANewWarningStartsFromThirty) {
    WatchNet("1", 1);
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

    // The next warning gives the full thirty seconds again.
    dog->cmdBot_Click();
    EXPECT_THAT(Logged(), Contains("BOTÃO DE BOOT PRESSIONADO! "));
    for (int i = 0; i < 30; ++i)
        dog->RestartWarningTick();
    EXPECT_EQ(power.restarts, 0);
    dog->RestartWarningTick();
    EXPECT_EQ(power.restarts, 1);
}

}  // namespace
}  // namespace vgx::test
