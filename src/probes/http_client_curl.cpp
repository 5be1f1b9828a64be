#include <curl/curl.h>

#include <mutex>

#include "probes/http_probe.h"

namespace vgx {

namespace {

struct EasyDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// A host name as the client library may look it up: letters, digits, ".", "-", "_".
// Anything else (a ":port", a "user@", blanks) names no host.
bool IsPlainHostName(const std::string& host) {
    return !host.empty() && host.find_first_not_of(
                                "abcdefghijklmnopqrstuvwxyz"
                                "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                "0123456789.-_") == std::string::npos;
}

// The path with blanks, controls, non-ASCII bytes and fragments percent-encoded.
std::string EncodedPath(const std::string& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = path.empty() ? "/" : "";
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7f || c == '#') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0f];
        } else {
            out += ch;
        }
    }
    return out;
}

class CurlHttpClient final : public HttpClient {
public:
    CurlHttpClient(std::uint16_t port, std::chrono::milliseconds connectTimeout,
                   std::chrono::milliseconds totalTimeout)
        : port_(port), connectTimeout_(connectTimeout), totalTimeout_(totalTimeout) {
        HttpGlobalInit();
    }

    HttpHeadResult Head(const std::string& host, const std::string& path) override {
        std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
        if (!easy || host.empty())
            return {};
        if (!IsPlainHostName(host))
            return {true, {}};

        const std::string url = "http://" + host + ":" + std::to_string(port_) + EncodedPath(path);
        curl_slist* list = nullptr;
        for (const char* h : {"Pragma: no-cache", "Cache-Control: no-cache", "Accept:"}) {
            curl_slist* grown = curl_slist_append(list, h);
            if (grown == nullptr) {
                curl_slist_free_all(list);
                return {};
            }
            list = grown;
        }
        const std::unique_ptr<curl_slist, ListDeleter> headers(list);
        CURL* c = easy.get();
        curl_easy_setopt(c, CURLOPT_URL, url.c_str());
        curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(c, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(c, CURLOPT_USERAGENT, "Vigiax");
        curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http");
        curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectTimeout_.count()));
        curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(totalTimeout_.count()));
#if LIBCURL_VERSION_NUM >= 0x075700
        // A name lookup still running when the time is up is not waited for at clean-up.
        curl_easy_setopt(c, CURLOPT_QUICK_EXIT, 1L);
#endif

        HttpHeadResult result{true, {}};
        long code = 0;
        if (curl_easy_perform(c) == CURLE_OK &&
            curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &code) == CURLE_OK && code > 0) {
            result.status = std::to_string(code);
        }
        return result;
    }

private:
    std::uint16_t port_;
    std::chrono::milliseconds connectTimeout_;
    std::chrono::milliseconds totalTimeout_;
};

}  // namespace

void HttpGlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_NOTHING); });
}

std::unique_ptr<HttpClient> MakeCurlHttpClient(std::uint16_t port,
                                               std::chrono::milliseconds connectTimeout,
                                               std::chrono::milliseconds totalTimeout) {
    return std::make_unique<CurlHttpClient>(port, connectTimeout, totalTimeout);
}

}  // namespace vgx
