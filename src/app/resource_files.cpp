#include "app/resource_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "app/embedded_resources.h"
#include "records/file_io.h"
#include "records/unique_fd.h"

namespace vgx {

bool ExtractResource(unsigned id, std::string_view type, const std::filesystem::path& target,
                     mode_t mode) {
    const auto bytes = FindResource(type, id);
    if (!bytes)
        return false;
    if (::unlink(target.c_str()) != 0 && errno != ENOENT)
        return false;
    UniqueFd fd(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (!fd)
        return false;
    bool ok = WriteAll(
        fd.get(), std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (::close(fd.release()) != 0)
        ok = false;
    if (!ok)
        ::unlink(target.c_str());
    return ok;
}

int ExtractImageFiles(const std::filesystem::path& programDir) {
    struct Image {
        unsigned id;
        const char* type;
        const char* name;
    };
    static constexpr Image kImages[] = {
        {kResourceXp, "XP", "xp.dat"},
        {kResourceXp2, "XP2", "xp2.dat"},
        {kResourceMenu, "MENU", "menu.dat"},
        {kResourceMenu2, "MENU2", "menu2.dat"},
    };
    int written = 0;
    for (const Image& image : kImages) {
        if (ExtractResource(image.id, image.type, programDir / image.name))
            ++written;
    }
    return written;
}

ImageFiles ImageFilesForDepth(const std::filesystem::path& programDir, int depth) {
    if (depth == 32)
        return {programDir / "xp.dat", programDir / "menu.dat"};
    return {programDir / "xp2.dat", programDir / "menu2.dat"};
}

}  // namespace vgx
