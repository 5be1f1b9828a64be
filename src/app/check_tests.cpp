#include "app/check_tests.h"

#include <algorithm>

namespace vgx {

namespace {

constexpr const char* kGoOn = "\r\nContinuar assim mesmo?";

// The "go on anyway?" question: title ERRO, critical icon, Yes and No.
Task<bool> GoOn(const AskUser& ask, std::string text) {
    auto question =
        Asking(ask, {text + kGoOn, kTitleError, PromptIcon::Critical, PromptButtons::YesNo, false});
    const PromptAnswer answer = co_await question;
    co_return answer == PromptAnswer::Yes;
}

Task<std::int32_t> Ping(IcmpProbe& icmp, std::string host) {
    auto ping = Callback<PingOutcome>(
        [&icmp, host](auto done) { return icmp.PingHost(host, kEchoPayload, std::move(done)); });
    const PingOutcome outcome = co_await ping;
    co_return outcome.status;
}

std::string WithoutHttp(std::string text) {
    if (text.find("http:") == std::string::npos)
        return text;
    for (auto at = text.find("http://"); at != std::string::npos; at = text.find("http://"))
        text.erase(at, 7);
    return text;
}

void DropHttp(SettingsModel& settings, Setting box) {
    settings.SetText(box, WithoutHttp(std::string(settings.Text(box))));
}

std::string HostOf(std::string_view text) {
    std::string host(text);
    std::string path;
    SplitUrl(host, path);
    return host;
}

bool Blank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

std::string NoAnswerText(const std::string& host) {
    return "O endereço " + host + " não respondeu!";
}

}  // namespace

Callback<PromptAnswer> Asking(const AskUser& ask, Prompt prompt) {
    return Callback<PromptAnswer>([ask, prompt = std::move(prompt)](auto answered) {
        return ask(prompt, std::move(answered));
    });
}

Task<FocusAfterTest> TestInternetCheck(SettingsModel& settings, IcmpProbe& icmp, AskUser ask) {
    DropHttp(settings, Setting::NetAddress1);
    DropHttp(settings, Setting::NetAddress2);
    for (const Setting box : {Setting::NetAddress1, Setting::NetAddress2}) {
        const std::string host = HostOf(settings.Text(box));
        const std::int32_t status = co_await Ping(icmp, host);
        if (status == 0)
            continue;
        const bool goOn = co_await GoOn(ask, NoAnswerText(host));
        if (!goOn) {
            settings.SetValue(Setting::NetCheck, 0);
            co_return box;
        }
    }
    if (Blank(settings.Text(Setting::NetAddress1)) || Blank(settings.Text(Setting::NetAddress2))) {
        auto notice = Asking(ask, {kBothAddressesText, kTitleError, PromptIcon::Exclamation,
                                   PromptButtons::Ok, true});
        co_await notice;
        settings.SetValue(Setting::NetCheck, 0);
        co_return Setting::NetAddress1;
    }
    settings.SetValue(Setting::NetCheck, 1);
    co_return std::nullopt;
}

Task<FocusAfterTest> TestIisCheck(SettingsModel& settings, IcmpProbe& icmp, HttpProbe& http,
                                  std::vector<std::string>& lstIP,
                                  std::function<bool(std::vector<std::string>&)> listAddresses,
                                  AskUser ask) {
    const auto refuse = [&settings] {
        settings.SetValue(Setting::WebCheck, 0);
        return FocusAfterTest(Setting::WebPage);
    };
    if (Blank(settings.Text(Setting::WebPage)))
        co_return refuse();
    listAddresses(lstIP);
    DropHttp(settings, Setting::WebPage);

    const std::string host = HostOf(settings.Text(Setting::WebPage));
    const std::int32_t status = co_await Ping(icmp, host);
    if (status != 0) {
        const bool goOn = co_await GoOn(ask, NoAnswerText(host));
        if (!goOn)
            co_return refuse();
        // Yes: checked without the local and page steps.
        settings.SetValue(Setting::WebCheck, 1);
        co_return std::nullopt;
    }
    const std::string ip = icmp.LastResolvedIP();
    if (std::find(lstIP.begin(), lstIP.end(), ip) == lstIP.end()) {
        const bool goOn = co_await GoOn(ask, "O IP: " + ip + " não parece ser local!");
        if (!goOn)
            co_return refuse();
    }
    const std::string url(settings.Text(Setting::WebPage));
    auto request = Callback<HttpCheck>(
        [&http, url](auto done) { return http.CheckHttpStatus(url, std::move(done)); });
    const HttpCheck page = co_await request;
    if (!page.ok) {
        const bool goOn = co_await GoOn(
            ask, "O Servidor respondeu o código de erro: " + http.LastHttpStatus() + " .");
        if (!goOn)
            co_return refuse();
    }
    settings.SetValue(Setting::WebCheck, 1);
    co_return std::nullopt;
}

}  // namespace vgx
