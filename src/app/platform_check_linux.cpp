#include "app/platform_check.h"

#include <sys/utsname.h>

#include <cstring>

namespace vgx {

bool IsSupportedPlatform() {
    utsname u{};
    return ::uname(&u) == 0 && std::strcmp(u.sysname, "Linux") == 0;
}

}  // namespace vgx
