#pragma once

#include <string>
#include <string_view>

namespace platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Folder texts carry no trailing separator; every name appended begins with one.
inline std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    path.push_back(kPathSeparator);
    path.append(name);
    return path;
}

// Whether path is root or lies below it; both canonical (ResolvePath), compared as spelled.
inline bool IsWithin(std::string_view path, std::string_view root) {
    if (root.empty() || !path.starts_with(root))
        return false;
    return path.size() == root.size() || root.back() == kPathSeparator ||
           path[root.size()] == kPathSeparator;
}

} // namespace platform
