#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::random_device seed;
        std::mt19937_64 random(seed());
        auto base = std::filesystem::temp_directory_path();
        for (;;) {
            path_ = base / ("kestrune-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(path_))
                break;
        }
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Copies a read-only fixture tree into a writable place.
inline void CopyTree(const std::filesystem::path& from, const std::filesystem::path& to) {
    namespace fs = std::filesystem;
    fs::copy(from, to, fs::copy_options::recursive);
    for (auto& entry : fs::recursive_directory_iterator(to))
        fs::permissions(entry.path(),
                        fs::perms::owner_read | fs::perms::owner_write |
                            (entry.is_directory() ? fs::perms::owner_exec : fs::perms::none),
                        fs::perm_options::add);
    fs::permissions(to, fs::perms::owner_all, fs::perm_options::add);
}

} // namespace testsupport
