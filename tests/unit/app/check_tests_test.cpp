// What the window's test with real probes cannot show: the notice for a missing address, the
// silent IIS host answered Yes, the empty page.
#include "app/check_tests.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "watchdog_world.h"

namespace vgx::test {
namespace {

using namespace ::testing;

struct CheckTests : ::testing::Test, WatchdogWorld {
    const AskUser ask = [this](const Prompt& p, std::function<void(PromptAnswer)> answered) {
        return windows.Ask(p, std::move(answered));
    };
    // Runs a test to its end on the loop.
    FocusAfterTest Run(Task<FocusAfterTest> test) {
        std::optional<FocusAfterTest> focus;
        auto run = [&]() -> Task<void> { focus = co_await std::move(test); };
        Task<void> t = run();
        t.Start();
        EXPECT_TRUE(loop.RunUntil([&] { return focus.has_value(); }));
        return focus.value_or(FocusAfterTest{});
    }
};

// An empty second address fails its ping; Yes, then the missing-address notice.
TEST_F(CheckTests, InternetCheckWantsBothAddresses) {
    settings->SetText(Setting::NetAddress1, "10.9.0.1");
    settings->SetText(Setting::NetAddress2, "  ");
    windows.answers = {PromptAnswer::Yes};
    EXPECT_EQ(Run(TestInternetCheck(*settings, *icmp, ask)), Setting::NetAddress1);
    EXPECT_THAT(windows.messages, ElementsAre(HasSubstr("não respondeu"),
                                              std::string("ERRO: ") + kBothAddressesText));
    EXPECT_EQ(settings->Value(Setting::NetCheck), 0);
}

TEST_F(CheckTests, IisCheckUnchecksAnEmptyPageSilentlyAndASilentHostSkipsThePage) {
    std::vector<std::string> lstIP;
    const auto iis = [&] {
        return Run(TestIisCheck(
            *settings, *icmp, *http, lstIP,
            [](std::vector<std::string>& l) {
                l = {"127.0.0.1"};
                return true;
            },
            ask));
    };
    EXPECT_EQ(iis(), Setting::WebPage);
    EXPECT_THAT(windows.messages, IsEmpty());

    settings->SetText(Setting::WebPage, "http://10.9.0.1/status");
    icmpSender.status["10.9.0.1"] = 11010;
    windows.answers = {PromptAnswer::Yes};
    EXPECT_EQ(iis(), std::nullopt);
    EXPECT_EQ(windows.messages.size(), 1u);
    EXPECT_THAT(icmpSender.echoes, ElementsAre("10.9.0.1"));
    EXPECT_THAT(httpClient.requests, IsEmpty());
    EXPECT_THAT(lstIP, ElementsAre("127.0.0.1"));
    EXPECT_EQ(settings->Value(Setting::WebCheck), 1);
}

}  // namespace
}  // namespace vgx::test
