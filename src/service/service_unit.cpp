#include "service/service_unit.h"

#include <cstdio>

namespace vgx {

std::string QuoteForSystemd(std::string_view word) {
    std::string out = "\"";
    for (const char c : word) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '%') {
            out += "%%";
        } else if (u < 0x20 || u == 0x7f) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", u);
            out += hex;
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

bool SystemdAcceptsProgramPath(std::string_view path) {
    if (path.empty() || path.front() != '/')
        return false;
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\'' || c == '\\' || u < 0x20 || u == 0x7f)
            return false;
    }
    return true;
}

std::string ServiceUnitText(const std::filesystem::path& program) {
    return std::string(
               "[Unit]\n"
               "Description=") +
           kServiceDisplayName +
           "\n"
           "Wants=network-online.target\n"
           "After=network-online.target\n"
           "\n"
           "[Service]\n"
           "Type=notify\n"
           "ExecStart=" +
           QuoteForSystemd(program.lexically_normal().string()) + " " + kServiceOption +
           "\n"
           "Restart=on-failure\n"
           "WatchdogSec=" +
           std::to_string(kWatchdogSeconds) +
           "s\n"
           "UnsetEnvironment=DISPLAY XAUTHORITY WAYLAND_DISPLAY\n"
           "\n"
           "[Install]\n"
           "WantedBy=multi-user.target\n"
           "\n"
           "[X-Parameters]\n"
           "TimerInterval=300\n";
}

}  // namespace vgx
