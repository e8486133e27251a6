#include "core/base/ProgramInfo.h"

#include "core/base/BuildConfig.h"
#include "platform/Folders.h"
#include "platform/Paths.h"

#include <vector>

namespace app {
namespace {

bool IsSeparator(char c) {
    return c == '/' || c == platform::kPathSeparator;
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

std::vector<std::string_view> Names(std::string_view path) {
    std::vector<std::string_view> names;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !IsSeparator(path[i]))
            continue;
        if (i > start)
            names.push_back(path.substr(start, i - start));
        start = i + 1;
    }
    return names;
}

// Letters, digits, "-._~" and the drive's ":" stand for themselves; every other byte, UTF-8
// included, is written as %XX.
void AppendEscaped(std::string& url, std::string_view name) {
    constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
            (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
            c == ':') {
            url += c;
        } else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0x0F];
        }
    }
}

} // namespace

std::string_view ProgramVersion() {
    return build::kVersion;
}

std::string VersionText(std::string_view program) {
    std::string text(program);
    text += ' ';
    text += ProgramVersion();
    text += "\nCopyright (c) 2026 the Kestrune developers. MIT license.\n";
    if (const std::string address = MakerSiteAddress(); !address.empty())
        text += "About: " + address + "\n";
    return text;
}

std::string MakerSiteAddress() {
    return MakerSiteAddress(build::kWebAddress, platform::ExecutableFolder(), build::kAboutPage);
}

std::string MakerSiteAddress(std::string_view configured, std::string_view programFolder,
                             std::string_view aboutPage) {
    if (!IsBlank(configured))
        return std::string(configured);
    if (programFolder.empty())
        return {};
    // "\\server\share\..." is a network folder: its URL names the server, "file://server/...".
    const bool network =
        programFolder.size() >= 2 && IsSeparator(programFolder[0]) && IsSeparator(programFolder[1]);
    std::vector<std::string_view> names = Names(programFolder);
    for (const std::string_view name : Names(aboutPage)) {
        if (name == "..") {
            if (!names.empty())
                names.pop_back();
        } else if (name != ".") {
            names.push_back(name);
        }
    }
    std::string url = network ? "file:/" : "file://";
    for (const std::string_view name : names) {
        url += '/';
        AppendEscaped(url, name);
    }
    return url;
}

} // namespace app
