#include "cleaning/path_fit.h"

#include "cleaning/cleaning_job.h"

namespace vgx {

namespace {

constexpr std::string_view kEllipsis = "...";

bool IsCharStart(std::string_view text, std::size_t i) {
    return i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0U) != 0x80U;
}

}  // namespace

std::string FitPathToWidth(std::string_view text, const TextWidth& width, int available) {
    if (text.empty() || width(text) <= available)
        return std::string(text);

    // The last component, with the separator before it; a trailing "/" belongs to it.
    std::string_view body = text;
    while (body.size() > 1 && body.back() == '/')
        body.remove_suffix(1);
    const auto slash = body.rfind('/');
    if (slash == std::string_view::npos || slash == 0)
        return std::string(text);
    const std::string_view head = text.substr(0, slash);
    const std::string_view tail = text.substr(slash);

    const auto build = [&](std::size_t keep) {
        std::string s(head.substr(0, keep));
        s += kEllipsis;
        s += tail;
        return s;
    };
    // Longest prefix of the directory part that still fits (binary search on its length).
    std::size_t lo = 0;
    std::size_t hi = head.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        const std::size_t cut = CutToCharBoundary(head, mid).size();
        if (cut > lo && width(build(cut)) <= available) {
            lo = cut;
        } else {
            hi = mid - 1;
        }
    }
    while (lo > 0 && !IsCharStart(head, lo))
        --lo;
    return build(lo);
}

}  // namespace vgx
