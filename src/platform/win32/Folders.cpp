#include "platform/Folders.h"

#include "platform/win32/Wide.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

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

} // namespace platform
