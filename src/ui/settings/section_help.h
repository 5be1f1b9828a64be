#pragma once

#include <string>

namespace vgx {

// The help text of a menu section (0 to 4), lines joined by CR LF; empty for any other index.
std::string SectionHelpText(int index);

}  // namespace vgx
