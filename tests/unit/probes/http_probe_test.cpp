#include "probes/http_probe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/tiny_http_server.h"

#include <cstdlib>
#include <mutex>
#include <thread>

namespace vgx {
namespace {

using namespace std::chrono_literals;

TEST(SplitUrl, SeparatesHostAndPath) {
    const auto split = [](std::string address, std::string path = "") {
        SplitUrl(address, path);
        return address + "|" + path;
    };
    EXPECT_EQ(split("http://servidor/dir/page.asp"), "servidor|/dir/page.asp");
    EXPECT_EQ(split("servidor"), "servidor|");
    EXPECT_EQ(split("servidor", "/kept"), "servidor|/kept") << "no slash leaves the path alone";
    EXPECT_EQ(split("HTTP://servidor/a"), "HTTP:|//servidor/a");
    EXPECT_EQ(split("http://http://x/a"), "http:|//x/a") << "only one prefix is dropped";
    EXPECT_EQ(split("servidor:8080/a"), "servidor:8080|/a");
}

TEST(TrimAtNul, StopsAtTheFirstNul) {
    EXPECT_EQ(TrimAtNul(std::string_view("200\0\0\0", 6)), "200");
    EXPECT_EQ(TrimAtNul(std::string(1, '\0') + "200"), "");
    EXPECT_EQ(TrimAtNul("404"), "404");
}

class FixedClient final : public HttpClient {
public:
    HttpHeadResult next;
    HttpHeadResult Head(const std::string&, const std::string&) override { return next; }
};

TEST(HttpProbe, StatusIsKeptCleanAndReplacedOnlyWhenARequestWasMade) {
    FixedClient client;
    HttpProbe probe(client);
    std::string url = "h/p";
    client.next = {true, std::string("200\0\0", 5)};
    EXPECT_TRUE(probe.CheckHttpStatus(url));
    EXPECT_EQ(probe.LastHttpStatus(), "200");
    EXPECT_EQ(url, "h");
    client.next = {true, std::string(" 200 \0", 6)};
    EXPECT_FALSE(probe.CheckHttpStatus(url)) << "only the exact text counts";
    EXPECT_EQ(probe.LastHttpStatus(), "200") << "the kept text is trimmed";
    client.next = {false, {}};
    EXPECT_FALSE(probe.CheckHttpStatus(url));
    EXPECT_EQ(probe.LastHttpStatus(), "200");
    client.next = {true, {}};
    EXPECT_FALSE(probe.CheckHttpStatus(url));
    EXPECT_EQ(probe.LastHttpStatus(), "");
}

using test::TinyServer;

class HttpLocal : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) {
            ::unsetenv(name);
        }
        HttpGlobalInit();
    }
    static bool Probe(TinyServer& server, std::string url, std::string* status = nullptr) {
        auto client = MakeCurlHttpClient(server.port(), 500ms, 1s);
        HttpProbe probe(*client);
        const bool ok = probe.CheckHttpStatus(url);
        if (status != nullptr)
            *status = probe.LastHttpStatus();
        return ok;
    }
};

TEST_F(HttpLocal, SendsAnHttp10HeadWithoutCacheForThePath) {
    TinyServer server("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n");
    std::string url = "http://127.0.0.1/dir/page.asp";
    auto client = MakeCurlHttpClient(server.port(), 500ms, 1s);
    HttpProbe probe(*client);
    EXPECT_TRUE(probe.CheckHttpStatus(url));
    EXPECT_EQ(url, "127.0.0.1");
    EXPECT_EQ(probe.LastHttpStatus(), "200");
    const std::string request = server.Requests();
    EXPECT_TRUE(request.starts_with("HEAD /dir/page.asp HTTP/1.0\r\n")) << request;
    for (const char* header : {"\r\nPragma: no-cache\r\n", "\r\nCache-Control: no-cache\r\n",
                               "\r\nUser-Agent: Vigiax\r\n"}) {
        EXPECT_NE(request.find(header), std::string::npos) << header << " in " << request;
    }
    std::string host = "localhost";
    EXPECT_TRUE(probe.CheckHttpStatus(host));
    EXPECT_NE(server.Requests().find("HEAD / HTTP/1.0\r\n"), std::string::npos)
        << "a host alone asks for the root";
}

TEST_F(HttpLocal, AnythingButTwoHundredFails) {
    std::string status;
    TinyServer notFound("HTTP/1.0 404 Not Found\r\n\r\n");
    EXPECT_FALSE(Probe(notFound, "127.0.0.1/missing", &status));
    EXPECT_EQ(status, "404");
    TinyServer moved("HTTP/1.1 301 Moved Permanently\r\nLocation: http://127.0.0.1/x\r\n\r\n");
    EXPECT_FALSE(Probe(moved, "127.0.0.1/old", &status));
    EXPECT_EQ(status, "301");
}

TEST_F(HttpLocal, SilentServerFailsWithinTheBound) {
    TinyServer silent("");
    const auto start = std::chrono::steady_clock::now();
    std::string status = "x";
    EXPECT_FALSE(Probe(silent, "127.0.0.1/slow", &status));
    EXPECT_EQ(status, "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
}

TEST_F(HttpLocal, CapitalPrefixIsNotStrippedAndFails) {
    TinyServer server("HTTP/1.0 200 OK\r\n\r\n");
    std::string url = "HTTP://127.0.0.1/page";
    std::string status = "x";
    EXPECT_FALSE(Probe(server, url, &status));
    EXPECT_EQ(status, "");
    EXPECT_EQ(server.Requests(), "");
}

}  // namespace
}  // namespace vgx
