#include "probes/ping_output.h"

#include <gtest/gtest.h>

namespace vgx {
namespace {

TEST(PingTool, AsksForOneRequestWithThePayloadAndTimeout) {
    const std::vector<std::string> expected = {
        "ping",    "-n", "-c", "1",  "-W",
        "1.500",   "-s", "32", "-p", "70696e6770696e6770696e6770696e67",
        "10.0.0.2"};
    EXPECT_EQ(PingToolArguments("10.0.0.2", kEchoPayload, kEchoTimeout), expected);
}

TEST(PingTool, ReadsTheOutcomeFromTheOutput) {
    const EchoResult reply = ParsePingOutput(
        "PATTERN: 0x70696e67\nPING 10.0.0.2 (10.0.0.2) 32(60) bytes of data.\n"
        "40 bytes from 10.0.0.2: icmp_seq=1 ttl=64 time=12.7 ms\n\n--- 10.0.0.2 ping statistics "
        "---\n1 packets transmitted, 1 received, 0% packet loss, time 0ms\n",
        0);
    EXPECT_EQ(reply.status, 0);
    EXPECT_EQ(reply.roundTripMs, 12U);

    const auto status = [](const char* output, int exitStatus) {
        return ParsePingOutput(output, exitStatus).status;
    };
    EXPECT_EQ(status("PING 10.0.0.3 (10.0.0.3) 32(60) bytes of data.\n\n--- 10.0.0.3 ping "
                     "statistics ---\n1 packets transmitted, 0 received, 100% packet loss\n",
                     1),
              kEchoTimedOut);
    EXPECT_EQ(status("From 10.0.0.1 icmp_seq=1 Destination Host Unreachable\n", 1), 11003);
    EXPECT_EQ(status("From 10.0.0.1 icmp_seq=1 Destination Net Unreachable\n", 1), 11002);
    EXPECT_EQ(status("From 10.0.0.1 icmp_seq=1 Destination Port Unreachable\n", 1), 11005);
    EXPECT_EQ(status("From 10.0.0.1 icmp_seq=1 Time to live exceeded\n", 1), 11013);
    EXPECT_EQ(status("ping: connect: Network is unreachable\n", 2), 11002);
    EXPECT_EQ(status("ping: sendmsg: No route to host\n", 2), 11003);
    EXPECT_EQ(status("ping: socket: Operation not permitted\n", 2), kEchoGeneralFailure);
}

}  // namespace
}  // namespace vgx
