#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "loop/event_loop.h"

namespace vgx {

struct HttpHeadResult {
    bool requested = false;  // false: no request could even be opened
    std::string status;      // the status code as text, "" when none was read
    // Not 0 when this process itself lacked what the request needs (EMFILE, ENFILE, ENOMEM):
    // the errno. The answer says nothing of the web server then.
    int localFault = 0;
};

// One HEAD request on the loop. `done` is called once, from the loop (never from inside Head),
// unless the handle is dropped first, which ends the request.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual LoopHandle Head(const std::string& host, const std::string& path,
                            std::function<void(HttpHeadResult)> done) = 0;
};

struct HttpCheck {
    bool ok = false;     // the page answered "200"
    int localFault = 0;  // see HttpHeadResult
};

// Asks the web server for a page and expects "200".
class HttpProbe {
public:
    explicit HttpProbe(HttpClient& client) : client_(client) {}

    // `url` as the settings hold it ("http://" and the path are taken off here); `done` as
    // HttpClient's.
    LoopHandle CheckHttpStatus(const std::string& url, std::function<void(HttpCheck)> done);
    const std::string& LastHttpStatus() const { return lastHttpStatus_; }

private:
    HttpClient& client_;
    std::string lastHttpStatus_;
};

inline constexpr std::chrono::seconds kHttpConnectTimeout{15};
inline constexpr std::chrono::seconds kHttpTotalTimeout{30};

// HEAD, HTTP/1.0, no cache, agent "Vigiax", the proxies of the environment, no body read;
// libcurl's multi interface driven by `loop` (its sockets watched, its timer armed there; names
// looked up by curl's threaded resolver).
std::unique_ptr<HttpClient> MakeCurlHttpClient(
    EventLoop& loop, std::uint16_t port = 80,
    std::chrono::milliseconds connectTimeout = kHttpConnectTimeout,
    std::chrono::milliseconds totalTimeout = kHttpTotalTimeout);

// Once per process, at start-up, before any other thread exists.
void HttpGlobalInit();

// Drops a leading "http://" (exact case); from the first "/" on the text becomes the path.
void SplitUrl(std::string& address, std::string& path);

// The text up to its first NUL.
std::string TrimAtNul(std::string_view text);

}  // namespace vgx
