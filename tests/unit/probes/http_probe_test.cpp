#include "probes/http_probe.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>

#include "support/fake_loop.h"
#include "support/fake_probes.h"
#include "support/poll_loop.h"
#include "support/tiny_http_server.h"

namespace vgx {
namespace {

using namespace std::chrono_literals;
using namespace ::testing;

TEST(HttpProbe, SplitsTheUrlAndKeepsTheStatusOnlyWhenARequestWasMade) {
    test::FakeClock clock;
    test::FakeLoop loop(clock);
    test::FakeHttp client(loop);
    HttpProbe probe(client);
    const auto check = [&](HttpHeadResult answer) {
        client.answer = std::move(answer);
        std::optional<HttpCheck> got;
        auto handle = probe.CheckHttpStatus("http://http://h/p", [&](HttpCheck c) { got = c; });
        loop.RunUntil([&] { return got.has_value(); }, 1s);
        return got.value();
    };
    EXPECT_TRUE(check({true, std::string("200\0\0", 5), 0}).ok);
    EXPECT_EQ(client.requests.back(), "http:|//h/p") << "only one exact-case prefix is dropped";
    EXPECT_EQ(probe.LastHttpStatus(), "200");
    EXPECT_FALSE(check({true, std::string(" 200 \0", 6), 0}).ok) << "only the exact text counts";
    EXPECT_EQ(probe.LastHttpStatus(), "200") << "the kept text is trimmed";
    const HttpCheck none = check({false, {}, EMFILE});
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(none.localFault, EMFILE);
    EXPECT_EQ(probe.LastHttpStatus(), "200") << "no request, nothing replaced";
    EXPECT_EQ(check({true, {}, ENOMEM}).localFault, ENOMEM);
    EXPECT_EQ(probe.LastHttpStatus(), "");
}

using test::TinyServer;

class HttpLocal : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
            ::unsetenv(name);
    }
    // Starts a check whose answer lands in `got`; its handle is dropped inside the answer.
    void Start(HttpProbe& probe, const std::string& url) {
        got.reset();
        handle = probe.CheckHttpStatus(url, [this](HttpCheck c) {
            got = c;
            handle.reset();
        });
        EXPECT_FALSE(got) << "never answered from inside the call";
    }
    HttpCheck Wait() {
        EXPECT_TRUE(loop.RunUntil([&] { return got.has_value(); }, 5s));
        return got.value_or(HttpCheck{});
    }

    test::PollLoop loop;
    LoopHandle handle;
    std::optional<HttpCheck> got;
};

TEST_F(HttpLocal, SendsAnHttp10HeadWithoutCacheAndReadsTheStatus) {
    TinyServer ok("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n");
    TinyServer missing("HTTP/1.0 404 Not Found\r\n\r\n");
    auto toOk = MakeCurlHttpClient(loop, ok.port());
    auto toMissing = MakeCurlHttpClient(loop, missing.port());
    HttpProbe probeOk(*toOk), probeMissing(*toMissing);
    // The second request starts inside the first one's answer, which drops its own handle.
    handle = probeOk.CheckHttpStatus("http://127.0.0.1/dir/a b", [&](HttpCheck c) {
        EXPECT_TRUE(c.ok);
        Start(probeMissing, "127.0.0.1");
    });
    EXPECT_FALSE(Wait().ok);
    EXPECT_EQ(probeOk.LastHttpStatus(), "200");
    EXPECT_EQ(probeMissing.LastHttpStatus(), "404");
    EXPECT_THAT(
        ok.Requests(),
        AllOf(StartsWith("HEAD /dir/a%20b HTTP/1.0\r\n"), HasSubstr("\r\nPragma: no-cache\r\n"),
              HasSubstr("\r\nCache-Control: no-cache\r\n"), HasSubstr("\r\nUser-Agent: Vigiax\r\n"),
              Not(HasSubstr("Accept"))));
    EXPECT_THAT(missing.Requests(), StartsWith("HEAD / HTTP/1.0\r\n")) << "a host alone: the root";
}

TEST_F(HttpLocal, ASilentServerLeavesTheLoopFreeUntilTheTotalTimeOut) {
    TinyServer silent("");
    auto client = MakeCurlHttpClient(loop, silent.port(), 500ms, 1s);
    HttpProbe probe(*client);
    // A loaded machine stalls the whole process now and then; a request that holds the loop
    // makes every attempt late.
    std::chrono::milliseconds worst = 1h;
    for (int attempt = 0; attempt < 3 && worst >= 50ms; ++attempt) {
        const test::Ticker ticker(loop);
        const MonoTime start = loop.Now();
        Start(probe, "127.0.0.1/slow");
        EXPECT_FALSE(Wait().ok);
        EXPECT_GE(loop.Now() - start, 1s);
        EXPECT_LT(loop.Now() - start, 1500ms);
        EXPECT_EQ(probe.LastHttpStatus(), "");
        worst = ticker.worst;
    }
    EXPECT_LT(worst, 50ms);
}

TEST_F(HttpLocal, ADroppedRequestLeavesNothingArmedAndCallsNothing) {
    TinyServer silent("");
    test::FakeClock clock;
    test::FakeLoop fake(clock);  // counts what is armed; its descriptors are real
    auto client = MakeCurlHttpClient(fake, silent.port());
    bool called = false;
    LoopHandle request = client->Head("127.0.0.1", "/", [&](HttpHeadResult) { called = true; });
    ASSERT_TRUE(fake.RunUntil([&] { return !silent.Requests().empty(); }));
    EXPECT_GT(fake.Pending(), 0U);
    request.reset();
    EXPECT_EQ(fake.Pending(), 0U);
    EXPECT_FALSE(called);
}

TEST_F(HttpLocal, ADescriptorTableFullIsALocalFault) {
    TinyServer server("HTTP/1.0 200 OK\r\n\r\n");
    auto client = MakeCurlHttpClient(loop, server.port());
    HttpProbe probe(*client);
    Start(probe, "127.0.0.1");
    EXPECT_TRUE(Wait().ok) << "with descriptors to spare";
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    const rlimit low{std::min<rlim_t>(saved.rlim_cur, 256), saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> filler;
    for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
        filler.push_back(fd);
    const int full = errno;
    Start(probe, "127.0.0.1");
    const HttpCheck check = Wait();
    for (const int fd : filler)
        ::close(fd);
    ::setrlimit(RLIMIT_NOFILE, &saved);
    ASSERT_EQ(full, EMFILE);
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.localFault, EMFILE);
}

}  // namespace
}  // namespace vgx
