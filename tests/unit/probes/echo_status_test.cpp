#include "probes/echo_status.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "probes/ipv4_text.h"

namespace vgx {
namespace {

TEST(EchoStatusText, SharedTextsAndUnknownCodes) {
    EXPECT_EQ(EchoStatusText(11013), "ip ttl transmissão expirou   [ 11013 ]");
    EXPECT_EQ(EchoStatusText(11014), "ip ttl transmissão expirou   [ 11014 ]");
    EXPECT_EQ(EchoStatusText(11020), "ip trocado   [ 11020 ]");
    EXPECT_EQ(EchoStatusText(11021), "ip trocado   [ 11021 ]");
    EXPECT_EQ(EchoStatusText(12345), "sem mensagem de erro...   [ 12345 ]");
    EXPECT_EQ(EchoStatusText(11024), "sem mensagem de erro...   [ 11024 ]") << "gap in the table";
}

TEST(DottedAddress, ParsesOnlyFourDecimalParts) {
    EXPECT_EQ(ParseDottedAddress("127.0.0.1"), htonl(0x7f000001)) << "network byte order";
    for (const char* good : {"0.0.0.0", "255.255.255.255", "192.168.10.200"})
        EXPECT_EQ(DottedAddressOf(ParseDottedAddress(good).value_or(1)), good);
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.4 ", " 1.2.3.4",
                            "1.2.3.4x", "1..3.4", "1.2.3.", "0x7f.0.0.1", "-1.2.3.4", "1.2.3.0004",
                            "010.0.0.1", "+1.2.3.4", "1.2.3.4\n", "localhost"}) {
        EXPECT_FALSE(ParseDottedAddress(bad)) << bad;
    }
}

}  // namespace
}  // namespace vgx
