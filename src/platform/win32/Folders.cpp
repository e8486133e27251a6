#include "platform/Folders.h"

#include "platform/win32/Wide.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <vector>

namespace platform {
namespace {

std::wstring EnvironmentFolder(const wchar_t* name) {
    wchar_t buffer[32768];
    const DWORD length = GetEnvironmentVariableW(name, buffer, 32768);
    if (length == 0 || length >= 32768)
        return {};
    const std::wstring value(buffer, length);
    // Only an absolute folder: a relative one would move with the current folder.
    const bool absolute =
        (value.size() >= 3 && value[1] == L':' && value[2] == L'\\') || value.starts_with(L"\\\\");
    return absolute ? value : std::wstring();
}

std::wstring KnownLocalAppData() {
    wchar_t* path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path)))
        folder = path;
    CoTaskMemFree(path);
    return folder;
}

} // namespace

std::string DefaultProgramFolder() {
    // The variable first, so a portable set-up or a test can move the folder; the shell's
    // answer when it is not set.
    std::wstring base = EnvironmentFolder(L"LOCALAPPDATA");
    if (base.empty())
        base = KnownLocalAppData();
    while (!base.empty() && base.back() == L'\\')
        base.pop_back();
    return win32::ToUtf8(base) + "\\Kestrune";
}

std::optional<std::string> RealFolderPath(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    // "e:" alone names the current folder of drive E; a player's root is the drive's root.
    std::wstring wide = win32::ToWide(path);
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    if (wide.size() == 2 && wide[1] == L':')
        wide += L'\\';
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::nullopt;
    std::vector<wchar_t> buffer(needed);
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, buffer.data(), nullptr);
    if (length == 0 || length >= needed)
        return std::nullopt;
    std::wstring full(buffer.data(), length);
    const DWORD attributes = GetFileAttributesW(win32::ToWidePath(win32::ToUtf8(full)).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return std::nullopt;
    while (full.size() > 2 && full.back() == L'\\')
        full.pop_back();
    return win32::ToUtf8(full);
}

std::string ExecutableFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            const std::wstring program(buffer.data(), length);
            const std::size_t separator = program.find_last_of(L"\\/");
            return separator == std::wstring::npos
                       ? std::string()
                       : win32::ToUtf8(std::wstring_view(program).substr(0, separator));
        }
        // Cut short: the path is longer than the buffer.
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace platform
