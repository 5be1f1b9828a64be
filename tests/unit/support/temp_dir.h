#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>

namespace vgx::test {

// A fresh folder under the system's temporary directory, removed with its contents.
class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "vgx-test-XXXXXX").string();
        if (::mkdtemp(tmpl.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::filesystem::path& p, const std::string& data) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << data;
}

// The names in a folder.
inline std::set<std::string> Names(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

// Something under `name` that is no readable file: 0 a dangling link (as to a volume not mounted
// yet), 1 a folder, 2 a FIFO.
inline constexpr int kNonFileKinds = 3;
inline void PlantNonFile(int kind, const std::filesystem::path& name) {
    if (kind == 0)
        std::filesystem::create_symlink("/nonexistent/volume/file", name);
    else if (kind == 1)
        std::filesystem::create_directory(name);
    else if (::mkfifo(name.c_str(), 0600) != 0)
        throw std::runtime_error("mkfifo failed");
}

}  // namespace vgx::test
