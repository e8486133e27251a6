#include "platform/Drives.h"

#include "platform/win32/Wide.h"

#include <windows.h>

namespace platform {
namespace {

using win32::LastErrorMessage;
using win32::ToWidePath;

std::wstring WithTrailingBackslash(std::wstring path) {
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    return path;
}

} // namespace

// Per thread: the process-wide mode would also silence, or be undone by, another thread.
QuietDriveErrors::QuietDriveErrors() : previous_(GetThreadErrorMode()) {
    SetThreadErrorMode(static_cast<DWORD>(previous_) | SEM_FAILCRITICALERRORS, nullptr);
}

QuietDriveErrors::~QuietDriveErrors() {
    SetThreadErrorMode(static_cast<DWORD>(previous_), nullptr);
}

std::vector<std::string> RemovableRoots() {
    std::vector<std::string> roots;
    const DWORD mask = GetLogicalDrives();
    // C: to Z:; A: and B: are floppy drives that take seconds to answer and hold no player.
    for (int index = 2; index < 26; ++index) {
        if ((mask & (1u << index)) == 0)
            continue;
        const char letter = static_cast<char>('a' + index);
        const wchar_t root[] = {static_cast<wchar_t>(L'a' + index), L':', L'\\', L'\0'};
        if (GetDriveTypeW(root) == DRIVE_REMOVABLE)
            roots.push_back(std::string{letter, ':'});
    }
    return roots;
}

Result<std::string> VolumeLabel(const std::string& root) {
    const std::wstring volume = WithTrailingBackslash(ToWidePath(root));
    wchar_t label[MAX_PATH + 1] = {};
    BOOL ok = FALSE;
    DWORD error = ERROR_SUCCESS;
    {
        QuietDriveErrors quiet;
        ok = GetVolumeInformationW(volume.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr,
                                   nullptr, 0);
        if (!ok)
            error = GetLastError();
    }
    if (!ok)
        return Status::Error(win32::ErrorMessage(error));
    return win32::ToUtf8(label);
}

Result<std::uint64_t> FreeSpace(const std::string& path) {
    std::wstring folder = ToWidePath(path);
    // The call wants a folder; for a file or a name not made yet, ask about its volume.
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        wchar_t volume[MAX_PATH + 1] = {};
        if (!GetVolumePathNameW(folder.c_str(), volume, MAX_PATH + 1))
            return Status::Error(LastErrorMessage());
        folder = volume;
    }
    ULARGE_INTEGER available{}, total{};
    if (!GetDiskFreeSpaceExW(WithTrailingBackslash(folder).c_str(), &available, &total, nullptr))
        return Status::Error(LastErrorMessage());
    // No size in all: the volume does not know (some network and virtual drives).
    if (total.QuadPart == 0)
        return Status::Error("the volume does not tell its free space");
    return static_cast<std::uint64_t>(available.QuadPart);
}

} // namespace platform
