#include "probes/ping_output.h"

#include <gtest/gtest.h>

namespace vgx {
namespace {

TEST(PingTool, ReadsTheOutcomeFromTheOutput) {
    const std::optional<EchoResult> reply = ParsePingOutput(
        "PING 10.0.0.2 (10.0.0.2) 32(60) bytes of data.\n"
        "40 bytes from 10.0.0.2: icmp_seq=1 ttl=64 time=12.7 ms\n",
        0);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 0);
    EXPECT_EQ(reply->roundTripMs, 12U);

    // nullopt: ping may not open its socket, so it is no way of sending either.
    const std::vector<std::tuple<const char*, int, std::optional<std::int32_t>>> cases = {
        {"1 packets transmitted, 0 received, 100% packet loss\n", 1, kEchoTimedOut},
        {"From 10.0.0.1 icmp_seq=1 Destination Host Unreachable\n", 1, 11003},
        {"From 10.0.0.1 icmp_seq=1 Destination Net Unreachable\n", 1, 11002},
        {"From 10.0.0.1 icmp_seq=1 Destination Port Unreachable\n", 1, 11005},
        {"From 10.0.0.1 icmp_seq=1 Time to live exceeded\n", 1, 11013},
        {"ping: connect: Network is unreachable\n", 2, 11002},
        {"ping: sendmsg: No route to host\n", 2, 11003},
        {"ping: sendmsg: Operation not permitted\n", 1, kEchoGeneralFailure},
        {"ping: socktype: SOCK_RAW\nping: socket: Operation not permitted\n"
         "ping: => missing cap_net_raw+p capability or setuid?\n",
         2, std::nullopt},
        {"ping: socket: Permission denied\n", 2, std::nullopt},
        {"ping: socket: Address family not supported by protocol\n", 2, kEchoGeneralFailure}};
    for (const auto& [output, exitStatus, status] : cases) {
        const std::optional<EchoResult> r = ParsePingOutput(output, exitStatus);
        EXPECT_EQ(r ? std::optional(r->status) : std::nullopt, status) << output;
    }
}

}  // namespace
}  // namespace vgx
