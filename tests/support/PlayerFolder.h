#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

// Writes a database image where a player keeps it: ROOT/iPod_Control/iTunes/<name>.
inline void WriteDatabase(const std::filesystem::path& root, const std::vector<std::uint8_t>& bytes,
                          const std::string& name = "iTunesDB") {
    const auto folder = root / "iPod_Control" / "iTunes";
    std::filesystem::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A file of the given size below root (relative is UTF-8 on every system); large sizes are made
// sparse so they cost no disk.
inline std::filesystem::path WriteFileOfSize(const std::filesystem::path& root,
                                             const std::string& relative, std::uint64_t size) {
    const auto path = root / std::filesystem::path(std::u8string(relative.begin(), relative.end()));
    std::filesystem::create_directories(path.parent_path());
    { std::ofstream touch(path, std::ios::binary | std::ios::trunc); }
    std::filesystem::resize_file(path, size);
    return path;
}

} // namespace testsupport
