#include <curl/curl.h>
#include <sys/socket.h>

#include <cerrno>
#include <mutex>
#include <set>
#include <unordered_map>

#include "probes/http_probe.h"

namespace vgx {

namespace {

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

bool IsLocalShortage(long error) {
    return error == EMFILE || error == ENFILE || error == ENOMEM;
}

// What a finished transfer tells: the status when it completed, and whether this process
// itself lacked what it needed. `socketError` is the errno of a socket that could not be made.
HttpHeadResult Outcome(CURL* easy, CURLcode code, int socketError) {
    HttpHeadResult result{true, {}, 0};
    long status = 0;
    if (code == CURLE_OK && curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK &&
        status > 0) {
        result.status = std::to_string(status);
    }
    long osError = 0;
    if (code == CURLE_OUT_OF_MEMORY) {
        result.localFault = ENOMEM;
    } else if (code != CURLE_OK) {
        if (curl_easy_getinfo(easy, CURLINFO_OS_ERRNO, &osError) == CURLE_OK &&
            IsLocalShortage(osError)) {
            result.localFault = static_cast<int>(osError);
        } else if (IsLocalShortage(socketError)) {
            result.localFault = socketError;
        }
    }
    return result;
}

// Opens curl's sockets so that the errno of one that cannot be made is kept (curl drops it),
// and so that none leaks into a child process.
curl_socket_t OpenSocket(void* socketError, curlsocktype, curl_sockaddr* address) {
    const curl_socket_t s =
        ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (s == CURL_SOCKET_BAD)
        *static_cast<int*>(socketError) = errno;
    return s;
}

class CurlHttpClient;

// One request: its easy handle while curl works on it, then its answer waiting on the loop.
// Dropping it ends the request; once the client is gone it calls nothing.
class Transfer final : public LoopRegistration {
public:
    Transfer(CurlHttpClient& client, std::function<void(HttpHeadResult)> done)
        : client_(&client), done_(std::move(done)) {}
    ~Transfer() override;

    // Posts `result` to the loop; `done` gets it there.
    void Answer(EventLoop& loop, HttpHeadResult result);
    // The client is going away.
    void Orphan() {
        client_ = nullptr;
        answer_.reset();
    }

    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    int socketError = 0;

private:
    CurlHttpClient* client_;
    std::function<void(HttpHeadResult)> done_;
    HttpHeadResult result_;
    LoopHandle answer_;
};

class CurlHttpClient final : public HttpClient {
public:
    CurlHttpClient(EventLoop& loop, std::uint16_t port, std::chrono::milliseconds connectTimeout,
                   std::chrono::milliseconds totalTimeout)
        : loop_(loop), port_(port), connectTimeout_(connectTimeout), totalTimeout_(totalTimeout) {
        HttpGlobalInit();
        multi_ = curl_multi_init();
        if (multi_ == nullptr)
            return;
        curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &CurlHttpClient::OnSocket);
        curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &CurlHttpClient::OnTimer);
        curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
    }

    ~CurlHttpClient() override {
        for (Transfer* t : transfers_) {
            Detach(*t);
            t->Orphan();
        }
        if (multi_ != nullptr)
            curl_multi_cleanup(multi_);  // may still call OnSocket and OnTimer
        watches_.clear();
        timer_.reset();
    }

    LoopHandle Head(const std::string& host, const std::string& path,
                    std::function<void(HttpHeadResult)> done) override {
        auto transfer = std::make_unique<Transfer>(*this, std::move(done));
        transfers_.insert(transfer.get());
        if (host.empty()) {
            transfer->Answer(loop_, {});
        } else if (!IsPlainHostName(host)) {
            transfer->Answer(loop_, {true, {}, 0});
        } else {
            const CURLMcode added = Start(*transfer, host, path);
            if (added != CURLM_OK) {
                Detach(*transfer);
                transfer->Answer(loop_, {false, {}, added == CURLM_OUT_OF_MEMORY ? ENOMEM : 0});
            }
        }
        return transfer;
    }

    void Forget(Transfer& transfer) {
        Detach(transfer);
        transfers_.erase(&transfer);
    }

private:
    // Builds the request and hands it to the multi handle.
    CURLMcode Start(Transfer& transfer, const std::string& host, const std::string& path) {
        if (multi_ == nullptr || (transfer.easy = curl_easy_init()) == nullptr)
            return CURLM_OUT_OF_MEMORY;
        for (const char* h : {"Pragma: no-cache", "Cache-Control: no-cache", "Accept:"}) {
            curl_slist* grown = curl_slist_append(transfer.headers, h);
            if (grown == nullptr)
                return CURLM_OUT_OF_MEMORY;
            transfer.headers = grown;
        }
        const std::string url = "http://" + host + ":" + std::to_string(port_) + EncodedPath(path);
        CURL* c = transfer.easy;
        curl_easy_setopt(c, CURLOPT_PRIVATE, &transfer);
        curl_easy_setopt(c, CURLOPT_URL, url.c_str());
        curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(c, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(c, CURLOPT_USERAGENT, "Vigiax");
        curl_easy_setopt(c, CURLOPT_HTTPHEADER, transfer.headers);
        curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http");
        curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(c, CURLOPT_OPENSOCKETFUNCTION, &OpenSocket);
        curl_easy_setopt(c, CURLOPT_OPENSOCKETDATA, &transfer.socketError);
        curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectTimeout_.count()));
        curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(totalTimeout_.count()));
#if LIBCURL_VERSION_NUM >= 0x075700
        // A name lookup still running when the request ends is left to finish on its own
        // instead of being waited for.
        curl_easy_setopt(c, CURLOPT_QUICK_EXIT, 1L);
#endif
        return curl_multi_add_handle(multi_, c);
    }

    // Takes the easy handle out of the multi handle and frees it.
    void Detach(Transfer& transfer) {
        if (transfer.easy == nullptr)
            return;
        if (multi_ != nullptr)
            curl_multi_remove_handle(multi_, transfer.easy);
        curl_easy_cleanup(transfer.easy);
        transfer.easy = nullptr;
    }

    static int OnSocket(CURL*, curl_socket_t s, int what, void* self, void*) {
        auto& client = *static_cast<CurlHttpClient*>(self);
        if (what == CURL_POLL_REMOVE) {
            client.watches_.erase(s);
            return 0;
        }
        const unsigned events =
            ((what & CURL_POLL_IN) ? kFdRead : 0U) | ((what & CURL_POLL_OUT) ? kFdWrite : 0U);
        client.watches_[s] = client.loop_.Watch(s, events, [&client, s](unsigned ready) {
            const int mask = ((ready & kFdRead) ? CURL_CSELECT_IN : 0) |
                             ((ready & kFdWrite) ? CURL_CSELECT_OUT : 0);
            client.Drive(s, mask);
        });
        return 0;
    }

    static int OnTimer(CURLM*, long ms, void* self) {
        auto& client = *static_cast<CurlHttpClient*>(self);
        if (ms < 0) {
            client.timer_.reset();
        } else {
            client.timer_ = client.loop_.After(std::chrono::milliseconds(ms),
                                               [&client] { client.Drive(CURL_SOCKET_TIMEOUT, 0); });
        }
        return 0;
    }

    // Lets curl act on `s` (or on its time-outs), then answers the transfers it finished.
    void Drive(curl_socket_t s, int mask) {
        int running = 0;
        curl_multi_socket_action(multi_, s, mask, &running);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            CURL* easy = message->easy_handle;
            const CURLcode code = message->data.result;
            Transfer* transfer = nullptr;
            curl_easy_getinfo(easy, CURLINFO_PRIVATE, &transfer);
            HttpHeadResult result = Outcome(easy, code, transfer->socketError);
            Detach(*transfer);
            transfer->Answer(loop_, std::move(result));
        }
    }

    EventLoop& loop_;
    const std::uint16_t port_;
    const std::chrono::milliseconds connectTimeout_;
    const std::chrono::milliseconds totalTimeout_;
    CURLM* multi_ = nullptr;
    std::set<Transfer*> transfers_;
    std::unordered_map<curl_socket_t, LoopHandle> watches_;
    LoopHandle timer_;
};

Transfer::~Transfer() {
    if (client_ != nullptr)
        client_->Forget(*this);
    if (easy != nullptr)
        curl_easy_cleanup(easy);
    curl_slist_free_all(headers);
}

void Transfer::Answer(EventLoop& loop, HttpHeadResult result) {
    result_ = std::move(result);
    answer_ = loop.Next([this] {
        auto done = std::move(done_);  // `done` may drop this transfer
        done(std::move(result_));
    });
}

}  // namespace

void HttpGlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_NOTHING); });
}

std::unique_ptr<HttpClient> MakeCurlHttpClient(EventLoop& loop, std::uint16_t port,
                                               std::chrono::milliseconds connectTimeout,
                                               std::chrono::milliseconds totalTimeout) {
    return std::make_unique<CurlHttpClient>(loop, port, connectTimeout, totalTimeout);
}

}  // namespace vgx
