#include "cleaning/protected_folders.h"

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>

#include "records/file_io.h"
#include "records/utility_object.h"

namespace vgx {

namespace {

constexpr const char* kSystemDirectories[] = {"/",      "/bin",  "/boot", "/dev", "/etc",  "/lib",
                                              "/lib64", "/proc", "/root", "/run", "/sbin", "/srv",
                                              "/sys",   "/usr",  "/var",  "/home"};

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string RealPath(const std::string& path) {
    std::unique_ptr<char, decltype(&::free)> real(::realpath(path.c_str(), nullptr), &::free);
    return real ? std::string(real.get()) : std::string();
}

}  // namespace

std::vector<std::string> ProtectedFolders::HomesIn(std::string_view passwdText) {
    std::vector<std::string> homes;
    while (!passwdText.empty()) {
        const auto eol = passwdText.find('\n');
        std::string_view line = passwdText.substr(0, eol);
        passwdText =
            eol == std::string_view::npos ? std::string_view{} : passwdText.substr(eol + 1);
        std::string_view fields[7];
        std::size_t n = 0;
        while (n < 7) {
            const auto colon = line.find(':');
            fields[n++] = line.substr(0, colon);
            if (colon == std::string_view::npos)
                break;
            line.remove_prefix(colon + 1);
        }
        if (n < 6 || fields[0].empty() || fields[0].front() == '#')
            continue;
        if (!fields[5].empty())
            homes.emplace_back(fields[5]);
        homes.push_back("/home/" + std::string(fields[0]));
    }
    return homes;
}

ProtectedFolders::ProtectedFolders(const std::filesystem::path& programDir,
                                   const std::filesystem::path& passwdFile) {
    for (const char* dir : kSystemDirectories)
        Add(dir);
    Add(UtilityObject::FirstProtectedDirectory());
    Add(UtilityObject::SecondProtectedDirectory());
    // The program's folders with all inside: its data folder, and the folder of its executable
    // (the same for a copy run from its own folder).
    const std::filesystem::path executableDir = ExecutablePath().parent_path();
    for (const std::filesystem::path& dir : {programDir, executableDir}) {
        if (dir.empty())
            continue;
        Add(dir.string());
        for (const std::string& p : {WithoutTrailingSlash(dir.string()), RealPath(dir.string())}) {
            if (!p.empty())
                trees_.push_back(p == "/" ? "" : p);
        }
    }

    std::ifstream in(passwdFile, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (const std::string& home : HomesIn(text))
        Add(home);

    if (DIR* d = ::opendir("/home")) {
        while (const dirent* e = ::readdir(d)) {
            const std::string_view name = e->d_name;
            if (name != "." && name != "..")
                Add("/home/" + std::string(name));
        }
        ::closedir(d);
    }
}

void ProtectedFolders::Add(const std::string& path) {
    if (path.empty())
        return;
    paths_.push_back(WithoutTrailingSlash(path));
    const std::string real = RealPath(path);
    if (!real.empty())
        paths_.push_back(real);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return;
    ids_.push_back({st.st_dev, st.st_ino});
    // The folders above it, by identity: under another name they still hold it.
    for (std::filesystem::path up = std::filesystem::path(real).parent_path(); !up.empty();
         up = up.parent_path()) {
        if (::stat(up.c_str(), &st) == 0)
            holders_.push_back({st.st_dev, st.st_ino});
        if (up == up.root_path())
            break;
    }
}

bool ProtectedFolders::IsOrHolds(dev_t dev, ino_t ino) const {
    const auto same = [&](const Identity& id) { return id.dev == dev && id.ino == ino; };
    return std::any_of(ids_.begin(), ids_.end(), same) ||
           std::any_of(holders_.begin(), holders_.end(), same);
}

bool ProtectedFolders::Contains(std::string_view resolved, dev_t dev, ino_t ino) const {
    const std::string path = WithoutTrailingSlash(std::string(resolved));
    if (std::find(paths_.begin(), paths_.end(), path) != paths_.end())
        return true;
    if (std::any_of(trees_.begin(), trees_.end(),
                    [&](const std::string& t) { return path.starts_with(t + "/"); }))
        return true;
    // A folder that holds a protected one would take it along with its sub-directories.
    const std::string inside = path + "/";
    if (std::any_of(paths_.begin(), paths_.end(),
                    [&](const std::string& p) { return p.starts_with(inside); }))
        return true;
    return IsOrHolds(dev, ino);
}

bool ProtectedFolders::Refuses(const std::filesystem::path& folder) const {
    const std::string real = RealPath(folder.string());
    if (real.empty())
        return false;
    struct stat st {};
    if (::stat(real.c_str(), &st) != 0)
        return false;
    return Contains(real, st.st_dev, st.st_ino);
}

}  // namespace vgx
