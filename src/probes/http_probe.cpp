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

bool HttpProbe::CheckHttpStatus(std::string& url) {
    std::string path;
    SplitUrl(url, path);
    const HttpHeadResult result = client_.Head(url, path);
    if (!result.requested)
        return false;
    lastHttpStatus_ = CleanStatus(result.status);
    return TrimAtNul(result.status) == "200";
}

}  // namespace vgx
