#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vgx {

// Folders a cleaning job may never empty: "/", the protected directories of UtilityObject,
// the standard system directories, /home and every home directory, the program directory and
// the folder of the running executable with everything inside them, and every folder that
// holds one of these. Compared by resolved path
// (case-sensitive) and by device and inode, so that another name for the same folder (a bind
// mount, say) is refused too.
class ProtectedFolders {
public:
    // `passwdFile` lists the accounts whose home directories are protected.
    explicit ProtectedFolders(const std::filesystem::path& programDir,
                              const std::filesystem::path& passwdFile = "/etc/passwd");

    // `resolved` is the folder's real path (links resolved), dev/ino its identity.
    bool Contains(std::string_view resolved, dev_t dev, ino_t ino) const;

    // Resolves `folder` through its links and checks it; a folder that cannot be resolved
    // is not protected (it does not exist).
    bool Refuses(const std::filesystem::path& folder) const;

    // By identity alone: a protected folder, or one that holds a protected folder.
    bool IsOrHolds(dev_t dev, ino_t ino) const;

    // Home directories listed in a passwd file (sixth field).
    static std::vector<std::string> HomesIn(std::string_view passwdText);

private:
    void Add(const std::string& path);

    struct Identity {
        dev_t dev;
        ino_t ino;
    };
    std::vector<std::string> paths_;
    std::vector<std::string> trees_;  // protected with everything inside
    std::vector<Identity> ids_;
    std::vector<Identity> holders_;  // every folder above a protected one
};

}  // namespace vgx
