#include "core/library/Play.h"

#include <algorithm>
#include <string>

namespace browser {

bool IsPlayableFile(std::string_view path) {
    static constexpr std::string_view kTypes[] = {"mp3",  "m4a", "m4b", "m4p", "aac", "aif",
                                                  "aiff", "wav", "mp4", "m4v", "mov", "aa"};
    const std::size_t name = path.find_last_of("/\\");
    const std::string_view file = name == std::string_view::npos ? path : path.substr(name + 1);
    const std::size_t dot = file.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    std::string type(file.substr(dot + 1));
    // ASCII only: a letter beyond it never makes one of these types.
    std::transform(type.begin(), type.end(), type.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

} // namespace browser
