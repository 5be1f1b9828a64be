#include "probes/ping_output.h"

#include <charconv>
#include <cstdio>

namespace vgx {

namespace {

struct ErrorPhrase {
    std::string_view text;
    std::int32_t status;
};

// Phrases iputils prints for ICMP errors and refused sends, most specific first.
constexpr ErrorPhrase kErrorPhrases[] = {
    {"Destination Net Unreachable", kEchoDestNetUnreachable},
    {"Destination Host Unreachable", kEchoDestHostUnreachable},
    {"Destination Protocol Unreachable", kEchoDestProtocolUnreachable},
    {"Destination Port Unreachable", kEchoDestPortUnreachable},
    {"Time to live exceeded", kEchoTtlExpiredTransit},
    {"Frag reassembly time exceeded", kEchoTtlExpiredReassembly},
    {"Parameter problem", kEchoParameterProblem},
    {"Source Quench", kEchoSourceQuench},
    {"Network is unreachable", kEchoDestNetUnreachable},
    {"No route to host", kEchoDestHostUnreachable},
};

// Whether the line tells that ping may not open its socket ("ping: socket: Operation not
// permitted", or the hint about cap_net_raw). A refused send ("ping: sendmsg: ...") is not this.
bool SocketRefused(std::string_view line) {
    if (line.find("missing cap_net_raw") != std::string_view::npos)
        return true;
    return line.starts_with("ping: socket: ") &&
           (line.find("Operation not permitted") != std::string_view::npos ||
            line.find("Permission denied") != std::string_view::npos);
}

// Whole milliseconds of the "time=0.123 ms" field of a reply line.
std::uint32_t ReplyMilliseconds(std::string_view line) {
    const std::size_t at = line.find("time=");
    if (at == std::string_view::npos)
        return 0;
    const std::string_view digits = line.substr(at + 5);
    std::uint32_t ms = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), ms);
    return ms;
}

}  // namespace

std::vector<std::string> PingToolArguments(const std::string& dottedTarget,
                                           std::string_view payload,
                                           std::chrono::milliseconds timeout) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%lld.%03lld",
                  static_cast<long long>(timeout.count() / 1000),
                  static_cast<long long>(timeout.count() % 1000));
    std::vector<std::string> args = {"ping", "-n",    "-c", "1",
                                     "-W",   seconds, "-s", std::to_string(payload.size())};
    if (!payload.empty()) {
        std::string pattern;
        for (std::size_t i = 0; i < payload.size() && i < 16; ++i) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(payload[i]));
            pattern += hex;
        }
        args.insert(args.end(), {"-p", pattern});
    }
    args.push_back(dottedTarget);
    return args;
}

std::optional<EchoResult> ParsePingOutput(std::string_view output, int exitStatus) {
    bool refused = false;
    std::size_t begin = 0;
    while (begin < output.size()) {
        std::size_t end = output.find('\n', begin);
        if (end == std::string_view::npos)
            end = output.size();
        const std::string_view line = output.substr(begin, end - begin);
        if (line.find(" bytes from ") != std::string_view::npos &&
            line.find("time=") != std::string_view::npos) {
            return EchoResult{kEchoSuccess, ReplyMilliseconds(line), {}};
        }
        for (const ErrorPhrase& phrase : kErrorPhrases) {
            if (line.find(phrase.text) != std::string_view::npos)
                return EchoResult{phrase.status, 0, {}};
        }
        // A send refused locally (a firewall rule): the request never went out.
        if (line.starts_with("ping: sendmsg: "))
            return EchoResult{kEchoGeneralFailure, 0, {}};
        refused = refused || SocketRefused(line);
        begin = end + 1;
    }
    if (exitStatus == 0)
        return EchoResult{kEchoSuccess, 0, {}};
    if (refused)
        return std::nullopt;
    // Exit status 1: the request went out and nothing answered in time.
    if (exitStatus == 1)
        return EchoResult{kEchoTimedOut, 0, {}};
    return EchoResult{kEchoGeneralFailure, 0, {}};
}

}  // namespace vgx
