#include "platform/Profile.h"

#include "platform/win32/Wide.h"

#include <windows.h>

// windows.h maps this name to its win.ini call; here it is ours.
#undef WriteProfileString

#include <vector>

namespace platform {
namespace {

using win32::ToAbsoluteWidePath;
using win32::ToWide;

// GetPrivateProfileStringW says "too small" by filling the buffer to size - 1 (one name or
// value) or size - 2 (a list of names); the buffer grows until that no longer happens.
std::wstring ProfileString(const wchar_t* section, const wchar_t* key, const std::wstring& file,
                           DWORD tooSmall) {
    std::vector<wchar_t> buffer(256);
    for (;;) {
        const auto size = static_cast<DWORD>(buffer.size());
        const DWORD length =
            GetPrivateProfileStringW(section, key, L"", buffer.data(), size, file.c_str());
        if (length < size - tooSmall || buffer.size() >= (1u << 24))
            return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 4);
    }
}

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The profile calls give a missing key its default: only the section's list of names tells
// "missing" from "empty".
bool HasKey(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
    const std::wstring names = ProfileString(section.c_str(), nullptr, file, 2);
    for (std::size_t start = 0; start < names.size();) {
        const auto end = names.find(L'\0', start);
        const std::wstring name = names.substr(start, end - start);
        if (EqualsIgnoringCase(name, key))
            return true;
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    return false;
}

std::wstring Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return ToWide(text);
}

} // namespace

std::optional<std::string> ReadProfileString(const std::string& file, std::string_view section,
                                             std::string_view key) {
    const std::wstring widePath = ToAbsoluteWidePath(file);
    const std::wstring wideSection = Trimmed(section);
    const std::wstring wideKey = Trimmed(key);
    if (wideSection.empty() || wideKey.empty() || !HasKey(widePath, wideSection, wideKey))
        return std::nullopt;
    return win32::ToUtf8(ProfileString(wideSection.c_str(), wideKey.c_str(), widePath, 1));
}

Status WriteProfileString(const std::string& file, std::string_view section, std::string_view key,
                          std::string_view value) {
    const std::wstring wideSection = Trimmed(section);
    const std::wstring wideKey = Trimmed(key);
    // What a line cannot hold would come back as something else, or as other keys.
    const bool unwritable = wideSection.empty() || wideKey.empty() ||
                            wideSection.find_first_of(L"]\r\n") != std::wstring::npos ||
                            wideKey.find_first_of(L"=\r\n") != std::wstring::npos ||
                            wideKey.front() == L'[' || wideKey.front() == L';' ||
                            value.find_first_of("\r\n") != std::string_view::npos;
    if (unwritable ||
        !WritePrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), ToWide(value).c_str(),
                                    ToAbsoluteWidePath(file).c_str()))
        return Status::Error("Unable to write to " + file);
    return Status::Ok();
}

} // namespace platform
