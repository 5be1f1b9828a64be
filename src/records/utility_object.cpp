#include "records/utility_object.h"

#include <sys/stat.h>

namespace vgx {

bool UtilityObject::FileExists(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace vgx
