#include "platform/AppendFile.h"

#include "platform/win32/Wide.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace platform {
namespace {

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

const std::intptr_t kClosed = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);

Status Failure() {
    return Status::Error(win32::LastErrorMessage());
}

} // namespace

Result<AppendFile> AppendFile::Open(const std::string& path) {
    // Append access without write access: the system puts every write at the end, after
    // whatever another program added. Shared wholly, so a viewer never locks the log.
    const HANDLE handle =
        CreateFileW(win32::ToWidePath(path).c_str(), GENERIC_READ | FILE_APPEND_DATA,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return Failure();
    AppendFile file(reinterpret_cast<std::intptr_t>(handle));
    if (GetFileType(handle) != FILE_TYPE_DISK)
        return Status::Error("not a regular file");
    return file;
}

AppendFile::AppendFile(AppendFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kClosed)) {}

AppendFile& AppendFile::operator=(AppendFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, kClosed);
    }
    return *this;
}

AppendFile::~AppendFile() {
    Close();
}

void AppendFile::Close() {
    if (handle_ != kClosed)
        CloseHandle(AsHandle(std::exchange(handle_, kClosed)));
}

Result<std::uint64_t> AppendFile::Size() const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(AsHandle(handle_), &size))
        return Failure();
    return static_cast<std::uint64_t>(size.QuadPart);
}

Result<std::string> AppendFile::Read(std::uint64_t offset, std::size_t count) const {
    std::string bytes(count, '\0');
    std::size_t done = 0;
    while (done < count) {
        const std::uint64_t at = offset + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at & 0xFFFFFFFF);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        constexpr std::size_t kChunk = 1u << 30; // ReadFile counts in 32 bits
        const auto wanted = static_cast<DWORD>(std::min(kChunk, count - done));
        DWORD got = 0;
        if (!ReadFile(AsHandle(handle_), bytes.data() + done, wanted, &got, &where)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            return Failure();
        }
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

Status AppendFile::Append(std::string_view bytes) {
    while (!bytes.empty()) {
        constexpr std::size_t kChunk = 1u << 30;
        const auto wanted = static_cast<DWORD>(std::min(kChunk, bytes.size()));
        DWORD put = 0;
        if (!WriteFile(AsHandle(handle_), bytes.data(), wanted, &put, nullptr))
            return Failure();
        if (put == 0)
            return Status::Error("nothing could be written");
        bytes.remove_prefix(put);
    }
    return Status::Ok();
}

Status MoveFileReplacing(const std::string& from, const std::string& to) {
    if (!MoveFileExW(win32::ToWidePath(from).c_str(), win32::ToWidePath(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING))
        return Failure();
    return Status::Ok();
}

} // namespace platform
