#include "probes/http_probe.h"

#include <algorithm>

namespace vgx {

namespace {

// All NULs removed, blanks trimmed at both ends.
std::string CleanStatus(std::string_view raw) {
    std::string text;
    std::copy_if(raw.begin(), raw.end(), std::back_inserter(text),
                 [](char c) { return c != '\0'; });
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

void SplitUrl(std::string& address, std::string& path) {
    if (address.starts_with("http://"))
        address.erase(0, 7);
    const std::size_t slash = address.find('/');
    if (slash == std::string::npos)
        return;
    path = address.substr(slash);
    address.erase(slash);
}

std::string TrimAtNul(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

LoopHandle HttpProbe::CheckHttpStatus(const std::string& url, std::function<void(HttpCheck)> done) {
    std::string host = url;
    std::string path;
    SplitUrl(host, path);
    return client_.Head(host, path, [this, done = std::move(done)](HttpHeadResult result) {
        if (result.requested)
            lastHttpStatus_ = CleanStatus(result.status);
        done({result.requested && TrimAtNul(result.status) == "200", result.localFault});
    });
}

}  // namespace vgx
