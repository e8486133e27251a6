#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// The boundary between the program's UTF-8 text and the wide (UTF-16) Windows API. Ill-formed
// input becomes U+FFFD rather than failing: a name we cannot spell is still worth showing.
std::wstring ToWide(std::string_view text);
std::string ToUtf8(std::wstring_view text);

// A path for the wide file API: separators made backslashes, a bare drive ("e:") made its root
// ("e:\"), and an absolute path too long for the classic limit given the "\\?\" prefix, so
// deep folders work even where long paths are not enabled system-wide.
std::wstring ToWidePath(std::string_view path);
// The same, made absolute against the current folder: for calls that would otherwise look for a
// relative name somewhere else (the profile calls search the Windows folder).
std::wstring ToAbsoluteWidePath(std::string_view path);

// The system's text for an error code, without the trailing full stop and line break.
std::string ErrorMessage(unsigned long code);
// The text for GetLastError(), read at once.
std::string LastErrorMessage();

} // namespace platform::win32
