// What the window's test with real probes cannot show: the notice for a missing address, the
// silent IIS host answered Yes, the empty page.
#include "app/check_tests.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "watchdog_world.h"

namespace vgx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct CheckTests : ::testing::Test, WatchdogWorld {
    std::vector<Prompt> asked;
    std::vector<std::string> lstIP;

    AskUser Ask() {
        return [this](const Prompt& p) {
            asked.push_back(p);
            return windows.Message(p);
        };
    }
    FocusAfterTest Internet() { return TestInternetCheck(*settings, *icmp, Ask()); }
    FocusAfterTest Iis() {
        const auto list = [](std::vector<std::string>& l) {
            l = {"127.0.0.1"};
            return true;
        };
        return TestIisCheck(*settings, *icmp, *http, lstIP, list, Ask());
    }
};

// An empty second address fails its ping; Yes, then the missing-address notice.
TEST_F(CheckTests, InternetCheckWantsBothAddresses) {
    settings->SetText(Control::txtURL1, "10.9.0.1");
    settings->SetText(Control::txtURL2, "  ");
    windows.answers = {PromptAnswer::Yes};
    EXPECT_EQ(Internet(), Control::txtURL1);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1], (Prompt{kBothAddressesText, "ERRO", PromptIcon::Exclamation,
                                PromptButtons::Ok, true}));
    EXPECT_EQ(settings->Value(Control::chkAtiNet), 0);
}

TEST_F(CheckTests, IisCheckUnchecksAnEmptyPageSilentlyAndASilentHostSkipsThePage) {
    EXPECT_EQ(Iis(), Control::txtURLIIS);
    EXPECT_THAT(asked, IsEmpty());

    settings->SetText(Control::txtURLIIS, "http://10.9.0.1/status");
    icmpSender.status["10.9.0.1"] = 11010;
    windows.answers = {PromptAnswer::Yes};
    EXPECT_EQ(Iis(), std::nullopt);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_THAT(icmpSender.echoes, ElementsAre("10.9.0.1"));
    EXPECT_THAT(httpClient.requests, IsEmpty());
    EXPECT_THAT(lstIP, ElementsAre("127.0.0.1"));
    EXPECT_EQ(settings->Value(Control::chkAtiIIS), 1);
}

}  // namespace
}  // namespace vgx::test
