#include "core/copy/TargetNames.h"

#include "platform/Paths.h"

#include <algorithm>
#include <array>

namespace copy {
namespace {

constexpr std::string_view kDeleted = ";=+<>/\"[]\\'*?|:";

bool IsDeleted(char c) {
    return static_cast<unsigned char>(c) < 32 || kDeleted.find(c) != std::string_view::npos;
}

// '/' separates on both platforms; '\' only where it is the system's separator.
bool IsSeparator(char c) {
    return c == '/' || c == platform::kPathSeparator;
}

// A drive's colon ends a folder part only where drives exist.
bool EndsFolderPart(char c) {
    return IsSeparator(c) || (c == ':' && platform::kPathSeparator == '\\');
}

bool IsTrimmed(char c) {
    return c == '.' || c == ' ';
}

void TrimTrailing(std::string& text) {
    while (!text.empty() && IsTrimmed(text.back()))
        text.pop_back();
}

// Cuts to at most `bytes`, never inside a UTF-8 sequence.
void CutTo(std::string& text, std::size_t bytes) {
    if (text.size() <= bytes)
        return;
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
}

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Windows keeps these names for devices, also with an extension and trailing blanks.
bool IsDeviceName(std::string_view stem) {
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    std::string upper;
    for (char c : stem)
        upper.push_back(AsciiUpper(c));
    static constexpr std::array<std::string_view, 4> kPlain{"CON", "PRN", "AUX", "NUL"};
    for (std::string_view name : kPlain)
        if (upper == name)
            return true;
    if (!upper.starts_with("COM") && !upper.starts_with("LPT"))
        return false;
    const std::string_view number = std::string_view(upper).substr(3);
    // Windows counts the superscripts one to three (in UTF-8) as digits here too.
    return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

// The bidirectional embeddings, overrides and isolates (U+202A to U+202E, U+2066 to U+2069):
// a name holding them can show its extension where it is not.
bool IsBidiControl(std::string_view text, std::size_t at) {
    if (at + 3 > text.size() || static_cast<unsigned char>(text[at]) != 0xE2)
        return false;
    const auto second = static_cast<unsigned char>(text[at + 1]);
    const auto third = static_cast<unsigned char>(text[at + 2]);
    return (second == 0x80 && third >= 0xAA && third <= 0xAE) ||
           (second == 0x81 && third >= 0xA6 && third <= 0xA9);
}

} // namespace

std::string RemoveInvalidFileChars(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (IsBidiControl(text, at))
            at += 2;
        else if (!IsDeleted(text[at]))
            kept.push_back(text[at]);
    }
    return kept;
}

std::string TargetFileName(std::string_view title, std::string_view extension) {
    std::string ext = RemoveInvalidFileChars(extension);
    CutTo(ext, kMaxNameBytes);
    TrimTrailing(ext);
    std::string name = RemoveInvalidFileChars(title);
    CutTo(name, kMaxNameBytes - ext.size());
    TrimTrailing(name);
    if (name.empty())
        name = "Untitled";
    const std::size_t stemEnd = name.find('.');
    const std::string_view stem = std::string_view(name).substr(0, stemEnd);
    if (IsDeviceName(stem)) {
        std::size_t letters = 0;
        while (letters < stem.size() && stem[letters] != ' ')
            ++letters;
        // One character, not "_": GCC 12 at -O3 sees a false overlap in insert of a text.
        name.insert(name.begin() + static_cast<std::ptrdiff_t>(letters), '_');
    }
    return name + ext;
}

std::string LocationExtension(std::string_view location) {
    const std::size_t dot = location.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    const std::string_view ext = location.substr(dot);
    if (ext.find_first_of(":\\/") != std::string_view::npos)
        return {};
    return std::string(ext);
}

std::string TargetFolderFromDialogPath(std::string_view path) {
    std::size_t cut = path.size();
    while (cut > 0 && !IsSeparator(path[cut - 1]))
        --cut;
    if (cut == 0)
        return {};
    std::string folder(path.substr(0, cut - 1));
    const bool isRoot = folder.empty() || (folder.size() == 2 && folder[1] == ':' &&
                                           platform::kPathSeparator == '\\');
    if (isRoot)
        folder.push_back(path[cut - 1]);
    return folder;
}

std::string JoinTargetPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && !IsSeparator(path.back()))
        path.push_back(platform::kPathSeparator);
    path.append(name);
    return path;
}

std::string_view FolderPart(std::string_view path) {
    std::size_t cut = path.size();
    while (cut > 0 && !EndsFolderPart(path[cut - 1]))
        --cut;
    return path.substr(0, cut);
}

std::string_view FileNamePart(std::string_view path) {
    return path.substr(FolderPart(path).size());
}

std::optional<std::string> NumberedPathName(std::string_view path,
                                            const std::function<bool(const std::string&)>& exists,
                                            unsigned first) {
    const std::string_view folder = FolderPart(path);
    const std::string_view name = path.substr(folder.size());
    const std::size_t dot = name.rfind('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view ext = dot == std::string_view::npos ? "" : name.substr(dot);
    for (unsigned number = std::max(first, 1u); number <= kMostNumbers; ++number) {
        std::string candidate(folder);
        candidate.append(base).append("(").append(std::to_string(number)).append(")");
        candidate.append(ext);
        if (!exists(candidate))
            return candidate;
    }
    return std::nullopt;
}

} // namespace copy
