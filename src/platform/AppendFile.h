#pragma once

#include "platform/Status.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The line ending of the text files the system's own programs write.
#ifdef _WIN32
inline constexpr std::string_view kNativeLineEnding = "\r\n";
#else
inline constexpr std::string_view kNativeLineEnding = "\n";
#endif

// A file that only grows, such as a log: read anywhere, written only at its end, so that adding
// to it costs the same however large it has become. Other programs may read, write, rename or
// delete it while it is open.
class AppendFile {
public:
    // Opens a regular file, creating it (empty) when it is missing.
    static Result<AppendFile> Open(const std::string& path);

    AppendFile(AppendFile&& other) noexcept;
    AppendFile& operator=(AppendFile&& other) noexcept;
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;
    ~AppendFile();

    Result<std::uint64_t> Size() const;
    // Up to `count` bytes from `offset` on: fewer where the file ends.
    Result<std::string> Read(std::uint64_t offset, std::size_t count) const;
    // Written after the last byte the file holds at that moment, whoever wrote it.
    Status Append(std::string_view bytes);
    // Closes now (a closed file cannot be renamed over on Windows while open).
    void Close();

private:
    explicit AppendFile(std::intptr_t handle) : handle_(handle) {}

    std::intptr_t handle_ = -1; // a file descriptor, or a Windows HANDLE
};

// Renames a file, replacing a file of the new name.
Status MoveFileReplacing(const std::string& from, const std::string& to);

} // namespace platform
