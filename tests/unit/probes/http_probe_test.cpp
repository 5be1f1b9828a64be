#include "probes/http_probe.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/tiny_http_server.h"

namespace vgx {
namespace {

using namespace std::chrono_literals;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class FixedClient final : public HttpClient {
public:
    HttpHeadResult next;
    std::string asked;
    HttpHeadResult Head(const std::string& host, const std::string& path) override {
        asked = host + "|" + path;
        return next;
    }
};

TEST(HttpProbe, SplitsTheUrlAndKeepsTheStatusOnlyWhenARequestWasMade) {
    FixedClient client;
    HttpProbe probe(client);
    std::string url = "http://http://h/p";
    client.next = {true, std::string("200\0\0", 5)};
    EXPECT_TRUE(probe.CheckHttpStatus(url));
    EXPECT_EQ(client.asked, "http:|//h/p") << "only one exact-case prefix is dropped";
    EXPECT_EQ(url, "http:");
    EXPECT_EQ(probe.LastHttpStatus(), "200");
    client.next = {true, std::string(" 200 \0", 6)};
    EXPECT_FALSE(probe.CheckHttpStatus(url)) << "only the exact text counts";
    EXPECT_EQ(probe.LastHttpStatus(), "200") << "the kept text is trimmed";
    client.next = {false, {}};
    EXPECT_FALSE(probe.CheckHttpStatus(url));
    EXPECT_EQ(probe.LastHttpStatus(), "200") << "no request, nothing replaced";
    client.next = {true, {}};
    EXPECT_FALSE(probe.CheckHttpStatus(url));
    EXPECT_EQ(probe.LastHttpStatus(), "");
}

using test::TinyServer;

// The probe's verdict and LastHttpStatus, against the local server and never through a proxy.
std::pair<bool, std::string> Probe(TinyServer& server, std::string url) {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
        ::unsetenv(name);
    auto client = MakeCurlHttpClient(server.port(), 500ms, 1s);
    HttpProbe probe(*client);
    const bool ok = probe.CheckHttpStatus(url);
    return {ok, probe.LastHttpStatus()};
}

TEST(HttpLocal, SendsAnHttp10HeadWithoutCacheForThePath) {
    TinyServer server("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n");
    EXPECT_EQ(Probe(server, "http://127.0.0.1/dir/page"), std::make_pair(true, std::string("200")));
    EXPECT_THAT(server.Requests(), AllOf(StartsWith("HEAD /dir/page HTTP/1.0\r\n"),
                                         HasSubstr("\r\nPragma: no-cache\r\n"),
                                         HasSubstr("\r\nCache-Control: no-cache\r\n"),
                                         HasSubstr("\r\nUser-Agent: Vigiax\r\n")));
    EXPECT_TRUE(Probe(server, "127.0.0.1").first);
    EXPECT_THAT(server.Requests(), HasSubstr("HEAD / HTTP/1.0\r\n")) << "a host alone: the root";
}

TEST(HttpLocal, AnythingButTwoHundredFailsWithinTheBound) {
    // A redirect is not followed; a silent server is given up within the bound.
    for (const auto& [answer, status] :
         {std::pair{"HTTP/1.1 301 Moved\r\nLocation: http://127.0.0.1/x\r\n\r\n", "301"},
          {"", ""}}) {
        TinyServer server(answer);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Probe(server, "127.0.0.1/old"), std::make_pair(false, std::string(status)));
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms) << status;
    }
}

}  // namespace
}  // namespace vgx
