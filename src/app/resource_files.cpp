#include "app/resource_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "app/embedded_resources.h"

namespace vgx {

bool ExtractResource(unsigned id, std::string_view type, const std::filesystem::path& target,
                     mode_t mode) {
    const auto bytes = FindResource(type, id);
    if (!bytes)
        return false;
    if (::unlink(target.c_str()) != 0 && errno != ENOENT)
        return false;
    const int fd =
        ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    const unsigned char* p = bytes->data();
    size_t left = bytes->size();
    bool ok = true;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::close(fd) != 0)
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
