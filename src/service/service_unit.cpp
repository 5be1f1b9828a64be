#include "service/service_unit.h"

#include <cstdio>
#include <optional>

#include "records/file_io.h"

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

namespace {

// Well-formed UTF-8: no stray continuation bytes, overlong forms, surrogates or code points
// above U+10FFFF. systemd ignores a command line that is anything else.
bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        int more = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (text.size() - i <= static_cast<std::size_t>(more))
            return false;
        for (int k = 1; k <= more; ++k) {
            const auto n = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((n & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (n & 0x3F);
        }
        const char32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (cp < least[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

}  // namespace

bool SystemdAcceptsProgramPath(std::string_view path) {
    if (path.empty() || path.front() != '/' || !IsUtf8(path))
        return false;
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\'' || c == '\\' || u < 0x20 || u == 0x7f)
            return false;
    }
    return true;
}

bool UnitStarts(const std::filesystem::path& unitFile, const std::filesystem::path& daemon) {
    const std::optional<std::string> text = ReadFileContents(unitFile);
    if (!text)
        return false;
    const std::string path = daemon.lexically_normal().string();
    for (const std::string& start :
         {"\nExecStart=" + path, "\nExecStart=" + QuoteForSystemd(path)}) {
        const std::size_t at = text->find(start);
        if (at == std::string::npos)
            continue;
        const std::size_t after = at + start.size();
        if (after == text->size() || (*text)[after] == ' ' || (*text)[after] == '\n')
            return true;
    }
    return false;
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
           QuoteForSystemd(program.lexically_normal().string()) +
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
