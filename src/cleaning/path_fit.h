#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vgx {

// Width of a text as the window will draw it (pixels, or any unit the caller likes).
using TextWidth = std::function<int(std::string_view)>;

// The text shortened to fit `available`: characters of the directory part are replaced by
// "..." so that the last path component stays whole. A text that fits is returned as is;
// when even "..." and the last component do not fit, that is what is returned.
std::string FitPathToWidth(std::string_view text, const TextWidth& width, int available);

}  // namespace vgx
