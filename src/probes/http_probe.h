#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vgx {

struct HttpHeadResult {
    bool requested = false;  // false: no request could even be opened
    std::string status;      // the status code as text, "" when none was read
};

// One HEAD request.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpHeadResult Head(const std::string& host, const std::string& path) = 0;
};

// Asks the web server for a page and expects "200".
class HttpProbe {
public:
    explicit HttpProbe(HttpClient& client) : client_(client) {}

    // url is left holding the host part.
    bool CheckHttpStatus(std::string& url);
    const std::string& LastHttpStatus() const { return lastHttpStatus_; }

private:
    HttpClient& client_;
    std::string lastHttpStatus_;
};

inline constexpr std::chrono::seconds kHttpConnectTimeout{15};
inline constexpr std::chrono::seconds kHttpTotalTimeout{30};

// HEAD, HTTP/1.0, no cache, agent "Vigiax", the proxies of the environment, no body read.
std::unique_ptr<HttpClient> MakeCurlHttpClient(
    std::uint16_t port = 80, std::chrono::milliseconds connectTimeout = kHttpConnectTimeout,
    std::chrono::milliseconds totalTimeout = kHttpTotalTimeout);

// Once per process, at start-up, before any other thread exists.
void HttpGlobalInit();

// Drops a leading "http://" (exact case); from the first "/" on the text becomes the path.
void SplitUrl(std::string& address, std::string& path);

// The text up to its first NUL.
std::string TrimAtNul(std::string_view text);

}  // namespace vgx
