#include "platform/Files.h"

#include "platform/win32/Handle.h"
#include "platform/win32/Wide.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <utility>

namespace platform {
namespace {

using win32::Handle;
using win32::LastErrorMessage;
using win32::ToUtf8;
using win32::ToWidePath;

class Search {
public:
    explicit Search(HANDLE handle) : handle_(handle) {}
    ~Search() {
        if (handle_ != INVALID_HANDLE_VALUE)
            FindClose(handle_);
    }
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

std::optional<DWORD> Attributes(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(ToWidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    return attributes;
}

std::uint64_t Combine(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

std::string OpenFailure(DWORD error) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return "the file is in use by another program";
    return win32::ErrorMessage(error);
}

// The path the system gives the handle: links followed, letter case as stored.
std::optional<std::wstring> FinalPath(HANDLE handle) {
    std::wstring finalPath(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(
            handle, finalPath.data(), static_cast<DWORD>(finalPath.size()), FILE_NAME_NORMALIZED);
        if (length == 0)
            return std::nullopt;
        if (length < finalPath.size()) {
            finalPath.resize(length);
            return finalPath;
        }
        finalPath.resize(length);
    }
}

// A path's folder and last name, trailing separators aside; nothing for a root or a bare name.
std::optional<std::pair<std::string, std::string>> ParentAndName(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    const auto cut = path.find_last_of("\\/");
    if (cut == std::string::npos || cut + 1 == path.size())
        return std::nullopt;
    std::string parent = path.substr(0, cut);
    if (parent.empty() || parent.back() == ':') // a drive's root, also as "\\?\C:"
        parent += '\\';
    return std::pair{parent, path.substr(cut + 1)};
}

} // namespace

bool FileExists(const std::string& path) {
    const auto attributes = Attributes(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
    const auto attributes = Attributes(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::vector<DirEntry>> ListDirectory(const std::string& path) {
    std::wstring pattern = ToWidePath(path);
    if (pattern.empty())
        return std::nullopt;
    if (pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    // The basic information level skips the short 8.3 names, which nobody here reads.
    Search search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH));
    std::vector<DirEntry> entries;
    if (search.get() == INVALID_HANDLE_VALUE) {
        // An empty drive root has not even "." and "..".
        if (GetLastError() == ERROR_FILE_NOT_FOUND && DirectoryExists(path))
            return entries;
        return std::nullopt;
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const DWORD attributes = found.dwFileAttributes;
        const bool isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries.push_back(DirEntry{ToUtf8(name), Combine(found.nFileSizeHigh, found.nFileSizeLow),
                                   isDirectory,
                                   !isDirectory && (attributes & FILE_ATTRIBUTE_DEVICE) == 0,
                                   (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (FindNextFileW(search.get(), &found));
    if (GetLastError() != ERROR_NO_MORE_FILES)
        return std::nullopt;
    return entries;
}

std::optional<ResolvedPath> ResolvePath(const std::string& path) {
    // No access asked for: the handle only names what the path leads to, links followed, and
    // opening it disturbs nobody. Folders need the backup-semantics flag to be opened at all.
    Handle target(CreateFileW(ToWidePath(path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!target.valid())
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(target.get(), &information))
        return std::nullopt;
    ResolvedPath result;
    if (const auto finalPath = FinalPath(target.get())) {
        result.path = ToUtf8(*finalPath);
    } else {
        // Wine names no path beyond 260 characters: the resolved parent and the name as given.
        const auto parent = ParentAndName(ToUtf8(win32::ToAbsoluteWidePath(path)));
        const auto resolvedParent = parent ? ResolvePath(parent->first) : std::nullopt;
        if (!resolvedParent)
            return std::nullopt;
        result.path = resolvedParent->path;
        if (!result.path.ends_with('\\'))
            result.path += '\\';
        result.path += parent->second;
    }
    result.size = Combine(information.nFileSizeHigh, information.nFileSizeLow);
    result.isDirectory = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    result.isFile = !result.isDirectory && GetFileType(target.get()) == FILE_TYPE_DISK;
    return result;
}

namespace {

// Buffer: a std::vector or a FileImage, made at the file's size and cut to what was read.
template <typename Buffer>
Result<Buffer> ReadWhole(const std::string& path, std::uint64_t maxBytes) {
    if (DirectoryExists(path))
        return Status::Error("it is a folder");
    // Share mode 0: while we read, nobody else may open the file, and if somebody has it open
    // we do not read it half-written.
    Handle file(CreateFileW(ToWidePath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid())
        return Status::Error(OpenFailure(GetLastError()));
    // A device name (NUL, COM1, also as "nul.mp3" in any folder) or a pipe opens like a file.
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return Status::Error("it is not a regular file");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return Status::Error(LastErrorMessage());
    const auto bytes = static_cast<std::uint64_t>(size.QuadPart);
    if (bytes > maxBytes)
        return Status::Error("the file is too large (" + std::to_string(bytes) + " bytes)");
    Buffer data(static_cast<std::size_t>(bytes));
    std::size_t done = 0;
    while (done < data.size()) {
        constexpr std::size_t kChunk = 1u << 30; // ReadFile counts in 32 bits
        const auto wanted = static_cast<DWORD>(std::min(kChunk, data.size() - done));
        DWORD got = 0;
        if (!ReadFile(file.get(), data.data() + done, wanted, &got, nullptr))
            return Status::Error(LastErrorMessage());
        if (got == 0)
            break; // cannot shrink while we hold it unshared, but a device may end early
        done += got;
    }
    data.resize(done);
    return data;
}

} // namespace

Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::uint64_t maxBytes) {
    return ReadWhole<std::vector<std::uint8_t>>(path, maxBytes);
}

Result<FileImage> ReadFileImage(const std::string& path, std::uint64_t maxBytes) {
    return ReadWhole<FileImage>(path, maxBytes);
}

Status WriteWholeFile(const std::string& path, const std::string& contents) {
    // Unique per process and call, so two writers of one file never share a temporary.
    static std::atomic<unsigned> counter{0};
    const std::wstring target = ToWidePath(path);
    const std::wstring temporary = ToWidePath(
        path + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++));
    Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return Status::Error(LastErrorMessage());
    const auto fail = [&](DWORD error) {
        if (file.valid())
            file.Close();
        DeleteFileW(temporary.c_str());
        return Status::Error(win32::ErrorMessage(error));
    };
    std::size_t done = 0;
    while (done < contents.size()) {
        constexpr std::size_t kChunk = 1u << 30;
        const auto wanted = static_cast<DWORD>(std::min(kChunk, contents.size() - done));
        DWORD put = 0;
        if (!WriteFile(file.get(), contents.data() + done, wanted, &put, nullptr))
            return fail(GetLastError());
        done += put;
    }
    if (!FlushFileBuffers(file.get()))
        return fail(GetLastError());
    if (!file.Close())
        return fail(GetLastError());
    if (!MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return fail(GetLastError());
    return Status::Ok();
}

Status CreateDirectories(const std::string& path) {
    if (DirectoryExists(path))
        return Status::Ok();
    // The parent first; a missing drive or share ends the climb with its own error.
    std::string parent = path;
    while (!parent.empty() && (parent.back() == '\\' || parent.back() == '/'))
        parent.pop_back();
    const auto cut = parent.find_last_of("\\/");
    parent.resize(cut == std::string::npos ? 0 : cut);
    while (!parent.empty() && (parent.back() == '\\' || parent.back() == '/'))
        parent.pop_back();
    const bool isDrive = parent.size() == 2 && parent[1] == ':';
    if (!parent.empty() && !isDrive)
        if (auto status = CreateDirectories(parent); !status)
            return status;
    if (!CreateDirectoryW(ToWidePath(path).c_str(), nullptr)) {
        const DWORD error = GetLastError();
        // Made meanwhile by somebody else: just as good.
        if (error == ERROR_ALREADY_EXISTS && DirectoryExists(path))
            return Status::Ok();
        return Status::Error(win32::ErrorMessage(error));
    }
    return Status::Ok();
}

} // namespace platform
