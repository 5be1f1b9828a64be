#include "app/check_tests.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "watchdog_world.h"

namespace vgx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The checks' tests on the watchdog world: answers come from a script, questions are recorded.
struct CheckTests : ::testing::Test, WatchdogWorld {
    std::vector<Prompt> asked;
    std::deque<PromptAnswer> answers;
    std::vector<std::string> lstIP;
    std::vector<std::string> localAddresses{"127.0.0.1", "192.168.0.5"};

    AskUser Ask() {
        return [this](const Prompt& p) {
            asked.push_back(p);
            if (p.Buttons == PromptButtons::Ok)
                return PromptAnswer::Ok;
            const PromptAnswer a = answers.empty() ? PromptAnswer::No : answers.front();
            if (!answers.empty())
                answers.pop_front();
            return a;
        };
    }
    FocusAfterTest Internet() { return TestInternetCheck(*settings, *icmp, Ask()); }
    FocusAfterTest Iis() {
        return TestIisCheck(
            *settings, *icmp, *http, lstIP,
            [this](std::vector<std::string>& list) {
                list = localAddresses;
                return true;
            },
            Ask());
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Prompt& p : asked)
            texts.push_back(p.Title + ": " + p.Text);
        return texts;
    }
    int Stored(int line) const {
        SettingsModel stored(dir.path(), clock);
        stored.LoadSettings();
        return line == 4 ? stored.Working().NetCheckEnabled : stored.Working().IISCheckEnabled;
    }
};

TEST_F(CheckTests, InternetCheckAsksForEachSilentAddressAndNeedsBoth) {
    settings->SetText(Control::txtURL1, "http://10.9.0.1/pagina");
    settings->SetText(Control::txtURL2, "10.9.0.2");
    EXPECT_EQ(Internet(), std::nullopt);
    EXPECT_THAT(asked, IsEmpty());
    EXPECT_EQ(settings->Text(Control::txtURL1), "10.9.0.1/pagina");
    EXPECT_THAT(icmpSender.echoes, ElementsAre("10.9.0.1", "10.9.0.2"));
    EXPECT_EQ(settings->Value(Control::chkAtiNet), 1);
    EXPECT_EQ(Stored(4), 1) << "the click rule saves";

    // A silent second address answered No: unchecked, the focus on it.
    settings->SetValue(Control::chkAtiNet, 0);
    icmpSender.status["10.9.0.2"] = 11010;
    EXPECT_EQ(Internet(), Control::txtURL2);
    EXPECT_THAT(Texts(), ElementsAre("ERRO: O endereço 10.9.0.2 não respondeu!\r\n"
                                     "Continuar assim mesmo?"));
    EXPECT_EQ(asked[0].Icon, PromptIcon::Critical);
    EXPECT_EQ(settings->Value(Control::chkAtiNet), 0);

    // An empty second address fails its ping first; Yes, then the missing-address notice.
    asked.clear();
    settings->SetText(Control::txtURL2, "  ");
    answers = {PromptAnswer::Yes};
    EXPECT_EQ(Internet(), Control::txtURL1);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1], (Prompt{kBothAddressesText, "ERRO", PromptIcon::Exclamation,
                                PromptButtons::Ok, true}));
    EXPECT_EQ(settings->Value(Control::chkAtiNet), 0);
}

TEST_F(CheckTests, IisCheckPingsTheHostThenWantsItLocalAndThePageAt200) {
    EXPECT_EQ(Iis(), Control::txtURLIIS) << "an empty page unchecks without a word";
    EXPECT_THAT(asked, IsEmpty());

    settings->SetText(Control::txtURLIIS, "http://127.0.0.1/status");
    EXPECT_EQ(Iis(), std::nullopt);
    EXPECT_THAT(asked, IsEmpty());
    EXPECT_EQ(lstIP, localAddresses);
    EXPECT_THAT(httpClient.requests, ElementsAre("127.0.0.1/status"));
    EXPECT_EQ(settings->Value(Control::chkAtiIIS), 1);
    EXPECT_EQ(Stored(13), 1);

    // Not local (Yes), then a 404 (No).
    settings->SetValue(Control::chkAtiIIS, 0);
    settings->SetText(Control::txtURLIIS, "10.9.0.1/status");
    httpClient.status = "404";
    answers = {PromptAnswer::Yes, PromptAnswer::No};
    EXPECT_EQ(Iis(), Control::txtURLIIS);
    EXPECT_THAT(Texts(), ElementsAre("ERRO: O IP: 10.9.0.1 não parece ser local!\r\n"
                                     "Continuar assim mesmo?",
                                     "ERRO: O Servidor respondeu o código de erro: 404 .\r\n"
                                     "Continuar assim mesmo?"));
    EXPECT_EQ(settings->Value(Control::chkAtiIIS), 0);

    // A silent host answered Yes is checked without the local and page steps.
    asked.clear();
    httpClient.requests.clear();
    icmpSender.status["10.9.0.1"] = 11010;
    answers = {PromptAnswer::Yes};
    EXPECT_EQ(Iis(), std::nullopt);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_THAT(httpClient.requests, IsEmpty());
    EXPECT_EQ(settings->Value(Control::chkAtiIIS), 1);
}

}  // namespace
}  // namespace vgx::test
