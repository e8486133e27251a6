#include "platform/win32/Wide.h"

#include <windows.h>

#include <climits>

namespace platform::win32 {
namespace {

// CreateDirectoryW refuses paths from MAX_PATH - 12 characters on (room for an 8.3 name);
// the other calls from MAX_PATH. Prefixing from the smaller limit on serves both.
constexpr std::size_t kClassicPathLimit = MAX_PATH - 12;

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

bool IsAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool IsDriveAbsolute(std::wstring_view path) {
    return path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == L':' && path[2] == L'\\';
}

bool IsUnc(std::wstring_view path) {
    return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\';
}

// Resolves "." and ".." and doubled separators: the "\\?\" form takes the path literally.
std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed)
        return path;
    full.resize(written);
    return full;
}

std::wstring WithLongPrefix(std::wstring path) {
    if (path.size() < kClassicPathLimit || !(IsDriveAbsolute(path) || IsUnc(path)))
        return path;
    const std::wstring full = FullPath(path);
    if (IsDriveAbsolute(full))
        return std::wstring(kLongPrefix) + full;
    if (IsUnc(full))
        return std::wstring(kLongUncPrefix) + full.substr(2);
    return full;
}

} // namespace

std::wstring ToWide(std::string_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    if (needed <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), needed);
    return wide;
}

std::string ToUtf8(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int length = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return {};
    std::string utf8(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), needed, nullptr, nullptr);
    return utf8;
}

std::wstring ToWidePath(std::string_view path) {
    std::wstring wide = ToWide(path);
    if (wide.starts_with(kLongPrefix) || wide.starts_with(kDevicePrefix))
        return wide;
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    // "e:" alone names the drive's current folder; every caller here means its root.
    if (wide.size() == 2 && IsAsciiLetter(wide[0]) && wide[1] == L':')
        wide += L'\\';
    return WithLongPrefix(std::move(wide));
}

std::wstring ToAbsoluteWidePath(std::string_view path) {
    std::wstring wide = ToWidePath(path);
    if (wide.empty() || wide.starts_with(kLongPrefix) || wide.starts_with(kDevicePrefix) ||
        IsDriveAbsolute(wide) || IsUnc(wide))
        return wide;
    return WithLongPrefix(FullPath(wide));
}

std::string ErrorMessage(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length > 0 && buffer != nullptr)
        text.assign(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                             text.back() == L'.'))
        text.pop_back();
    if (text.empty())
        return "error " + std::to_string(code);
    return ToUtf8(text);
}

std::string LastErrorMessage() {
    return ErrorMessage(GetLastError());
}

} // namespace platform::win32
