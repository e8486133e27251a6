#pragma once

#include "support/CliListing.h"

#include "platform/Paths.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

// One line of the copy report.
struct CopyEntry {
    std::string title;
    std::string source;
    std::string outcome;
};

inline std::vector<CopyEntry> CopyReport(const CliRun& run) {
    std::vector<CopyEntry> entries;
    for (const auto& line : run.lines) {
        const auto object = ParseFlatJson(line);
        EXPECT_TRUE(object && object->size() == 3) << line;
        if (object && object->size() == 3)
            entries.push_back({object->at("title"), object->at("source"), object->at("outcome")});
    }
    return entries;
}

inline std::string FoldAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Names that the target's file system takes for the same (Windows ignores letter case).
inline std::string NameKey(const std::string& path) {
    return platform::kPathSeparator == '\\' ? FoldAscii(path) : path;
}

// A UTF-8 path as the file system spells it, on every platform.
inline std::filesystem::path Utf8Path(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string Utf8Text(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

inline bool SameBytes(const std::string& a, const std::string& b) {
    std::ifstream inA(Utf8Path(a), std::ios::binary), inB(Utf8Path(b), std::ios::binary);
    if (!inA || !inB)
        return false;
    return std::string(std::istreambuf_iterator<char>(inA), {}) ==
           std::string(std::istreambuf_iterator<char>(inB), {});
}

// The file a location names below root, letter case aside.
inline bool SameLocation(const std::string& source, const std::filesystem::path& root,
                         const std::string& location) {
    std::filesystem::path expected = root;
    std::size_t start = 1;
    while (start <= location.size()) {
        const std::size_t end = std::min(location.find(':', start), location.size());
        expected /= Utf8Path(location.substr(start, end - start));
        start = end + 1;
    }
    return FoldAscii(Utf8Text(Utf8Path(source).generic_u8string())) ==
           FoldAscii(Utf8Text(expected.generic_u8string()));
}

// The names of everything in a folder, hidden and temporary files included.
inline std::set<std::string> FilesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(Utf8Text(entry.path().filename()));
    return names;
}

} // namespace testsupport
