#include "probes/echo_status.h"

#include <gtest/gtest.h>

#include <cstring>

#include "probes/ipv4_text.h"

namespace vgx {
namespace {

TEST(EchoStatusText, GivesTheTextThenTheBracketedCode) {
    EXPECT_EQ(EchoStatusText(11010), "tempo esgotado   [ 11010 ]");
    EXPECT_EQ(EchoStatusText(0), "ip OK   [ 0 ]");
    EXPECT_EQ(EchoStatusText(-1), "formato do IP errado   [ -1 ]");
    EXPECT_EQ(EchoStatusText(1500), "ping tempo esgotado   [ 1500 ]");
    EXPECT_EQ(EchoStatusText(11007), "opção errada   [ 11007 ]");
    EXPECT_EQ(EchoStatusText(11255), "ip pendência   [ 11255 ]");
    EXPECT_EQ(EchoStatusText(11013), "ip ttl transmissão expirou   [ 11013 ]");
    EXPECT_EQ(EchoStatusText(11014), "ip ttl transmissão expirou   [ 11014 ]");
    EXPECT_EQ(EchoStatusText(11020), "ip trocado   [ 11020 ]");
    EXPECT_EQ(EchoStatusText(11021), "ip trocado   [ 11021 ]");
    EXPECT_EQ(EchoStatusText(12345), "sem mensagem de erro...   [ 12345 ]");
    EXPECT_EQ(EchoStatusText(11024), "sem mensagem de erro...   [ 11024 ]");
}

TEST(EchoStatusText, MapsIcmpErrorsOntoTheCodes) {
    EXPECT_EQ(StatusForIcmpError(3, 0), 11002);
    EXPECT_EQ(StatusForIcmpError(3, 1), 11003);
    EXPECT_EQ(StatusForIcmpError(3, 2), 11004);
    EXPECT_EQ(StatusForIcmpError(3, 3), 11005);
    EXPECT_EQ(StatusForIcmpError(3, 13), 11050);
    EXPECT_EQ(StatusForIcmpError(11, 0), 11013);
    EXPECT_EQ(StatusForIcmpError(11, 1), 11014);
    EXPECT_EQ(StatusForIcmpError(12, 0), 11015);
    EXPECT_EQ(StatusForIcmpError(4, 0), 11016);
    EXPECT_EQ(StatusForIcmpError(5, 0), 11050);
}

TEST(DottedAddress, ParsesOnlyFourDecimalParts) {
    EXPECT_EQ(DottedAddress(10, 0, 255, 7), "10.0.255.7");
    for (const char* good : {"0.0.0.0", "255.255.255.255", "127.0.0.1", "192.168.10.200"}) {
        const auto parsed = ParseDottedAddress(good);
        ASSERT_TRUE(parsed) << good;
        EXPECT_EQ(DottedAddressOf(*parsed), good);
    }
    const auto loopback = ParseDottedAddress("127.0.0.1");
    const unsigned char expected[4] = {127, 0, 0, 1};
    EXPECT_EQ(0, std::memcmp(&*loopback, expected, 4)) << "network byte order";
    for (const char* bad : {"", "1.2", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.4 ", " 1.2.3.4",
                            "1.2.3.4x", "1..3.4", "1.2.3.", "0x7f.0.0.1", "-1.2.3.4", "1.2.3.0004",
                            "010.0.0.1", "+1.2.3.4", "1.2.3.4\n", "localhost"}) {
        EXPECT_FALSE(ParseDottedAddress(bad)) << bad;
    }
}

}  // namespace
}  // namespace vgx
