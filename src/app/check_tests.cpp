#include "app/check_tests.h"

#include <algorithm>

namespace vgx {

namespace {

constexpr const char* kGoOn = "\r\nContinuar assim mesmo?";

// The "go on anyway?" question: title ERRO, critical icon, Yes and No.
bool GoOn(const AskUser& ask, const std::string& text) {
    return ask({text + kGoOn, kTitleError, PromptIcon::Critical, PromptButtons::YesNo, false}) ==
           PromptAnswer::Yes;
}

std::string WithoutHttp(std::string text) {
    if (text.find("http:") == std::string::npos)
        return text;
    for (auto at = text.find("http://"); at != std::string::npos; at = text.find("http://"))
        text.erase(at, 7);
    return text;
}

void DropHttp(SettingsModel& settings, Control box) {
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

FocusAfterTest TestInternetCheck(SettingsModel& settings, IcmpProbe& icmp, const AskUser& ask) {
    DropHttp(settings, Control::txtURL1);
    DropHttp(settings, Control::txtURL2);
    for (const Control box : {Control::txtURL1, Control::txtURL2}) {
        const std::string host = HostOf(settings.Text(box));
        if (icmp.PingHost(host, kEchoPayload) == 0)
            continue;
        if (!GoOn(ask, NoAnswerText(host))) {
            settings.SetValue(Control::chkAtiNet, 0);
            return box;
        }
    }
    if (Blank(settings.Text(Control::txtURL1)) || Blank(settings.Text(Control::txtURL2))) {
        ask({kBothAddressesText, kTitleError, PromptIcon::Exclamation, PromptButtons::Ok, true});
        settings.SetValue(Control::chkAtiNet, 0);
        return Control::txtURL1;
    }
    settings.SetValue(Control::chkAtiNet, 1);
    return std::nullopt;
}

FocusAfterTest TestIisCheck(SettingsModel& settings, IcmpProbe& icmp, HttpProbe& http,
                            std::vector<std::string>& lstIP,
                            const std::function<bool(std::vector<std::string>&)>& listAddresses,
                            const AskUser& ask) {
    const auto refuse = [&] {
        settings.SetValue(Control::chkAtiIIS, 0);
        return Control::txtURLIIS;
    };
    if (Blank(settings.Text(Control::txtURLIIS)))
        return refuse();
    listAddresses(lstIP);
    DropHttp(settings, Control::txtURLIIS);

    const std::string host = HostOf(settings.Text(Control::txtURLIIS));
    if (icmp.PingHost(host, kEchoPayload) != 0) {
        if (!GoOn(ask, NoAnswerText(host)))
            return refuse();
        // Yes: checked without the local and page steps.
        settings.SetValue(Control::chkAtiIIS, 1);
        return std::nullopt;
    }
    const std::string& ip = icmp.LastResolvedIP();
    if (std::find(lstIP.begin(), lstIP.end(), ip) == lstIP.end() &&
        !GoOn(ask, "O IP: " + ip + " não parece ser local!")) {
        return refuse();
    }
    std::string url(settings.Text(Control::txtURLIIS));
    if (!http.CheckHttpStatus(url) &&
        !GoOn(ask, "O Servidor respondeu o código de erro: " + http.LastHttpStatus() + " .")) {
        return refuse();
    }
    settings.SetValue(Control::chkAtiIIS, 1);
    return std::nullopt;
}

}  // namespace vgx
