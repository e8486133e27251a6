#include "platform/CopyFiles.h"

#include "platform/Drives.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Wide.h"

#include <windows.h>

#include <algorithm>

namespace platform {
namespace {

using win32::Handle;
using win32::ToWidePath;

Status Failure(DWORD error) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return Status::Error("the file is in use by another program");
    return Status::Error(win32::ErrorMessage(error));
}

Status LastFailure() {
    return Failure(GetLastError());
}

// Reads and writes count in 32 bits.
constexpr std::size_t kMostPerCall = 1u << 30;

class Source final : public CopySource {
public:
    Source(HANDLE handle, std::uint64_t size) : handle_(handle), size_(size) {}

    Result<std::size_t> Read(std::uint8_t* into, std::size_t bytes) override {
        QuietDriveErrors quiet; // a player pulled out fails the call, asking nothing
        DWORD got = 0;
        if (!ReadFile(handle_.get(), into, static_cast<DWORD>(std::min(bytes, kMostPerCall)), &got,
                      nullptr))
            return LastFailure();
        return static_cast<std::size_t>(got);
    }
    std::uint64_t Size() const override { return size_; }
    Status Close() override { return handle_.Close() ? Status::Ok() : LastFailure(); }

private:
    Handle handle_;
    std::uint64_t size_;
};

class Target final : public CopyTarget {
public:
    explicit Target(HANDLE handle) : handle_(handle) {}

    Status Write(const std::uint8_t* from, std::size_t bytes) override {
        while (bytes > 0) {
            DWORD put = 0;
            if (!WriteFile(handle_.get(), from, static_cast<DWORD>(std::min(bytes, kMostPerCall)),
                           &put, nullptr))
                return LastFailure();
            if (put == 0)
                return Failure(ERROR_DISK_FULL);
            from += put;
            bytes -= put;
        }
        return Status::Ok();
    }
    Status Flush() override {
        if (!FlushFileBuffers(handle_.get()))
            return LastFailure();
        return Status::Ok();
    }
    Status Close() override { return handle_.Close() ? Status::Ok() : LastFailure(); }

private:
    Handle handle_;
};

bool NameTaken(DWORD error) {
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}

class SystemFiles final : public CopyFiles {
public:
    Result<std::unique_ptr<CopySource>> OpenSource(const std::string& path) override {
        QuietDriveErrors quiet; // a player pulled out fails the call, asking nothing
        // Readers may share; a writer may not change the file under the copy.
        Handle file(CreateFileW(ToWidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                                nullptr));
        if (!file.valid())
            return LastFailure();
        if (GetFileType(file.get()) != FILE_TYPE_DISK)
            return Status::Error("it is not a regular file");
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(file.get(), &info))
            return LastFailure();
        if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return Status::Error("it is not a regular file");
        const std::uint64_t size =
            (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        return std::unique_ptr<CopySource>(std::make_unique<Source>(file.Release(), size));
    }

    Result<std::unique_ptr<CopyTarget>> CreateTarget(const std::string& path) override {
        const HANDLE file =
            CreateFileW(ToWidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return LastFailure();
        return std::unique_ptr<CopyTarget>(std::make_unique<Target>(file));
    }

    Result<bool> RenameNoReplace(const std::string& from, const std::string& to) override {
        if (MoveFileExW(ToWidePath(from).c_str(), ToWidePath(to).c_str(), MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        if (NameTaken(error))
            return false;
        return Failure(error);
    }

    Status RenameReplacing(const std::string& from, const std::string& to) override {
        if (!MoveFileExW(ToWidePath(from).c_str(), ToWidePath(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return LastFailure();
        return Status::Ok();
    }

    Status Remove(const std::string& path) override {
        if (!DeleteFileW(ToWidePath(path).c_str()))
            return LastFailure();
        return Status::Ok();
    }

    bool Exists(const std::string& path) override {
        if (GetFileAttributesW(ToWidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        // Unknown counts as taken: a name we cannot look at is no name to write to.
        const DWORD error = GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    }

    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        QuietDriveErrors quiet; // a player pulled out fails the call, asking nothing
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(ToWidePath(path).c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return std::nullopt;
        return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

    Result<std::uint64_t> FreeSpace(const std::string& folder) override {
        return platform::FreeSpace(folder);
    }
};

} // namespace

CopyFiles& SystemCopyFiles() {
    static SystemFiles files;
    return files;
}

} // namespace platform
