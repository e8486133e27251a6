#include "platform/CopyFiles.h"

#include "platform/Drives.h"
#include "platform/Paths.h"
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

bool NotThere(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// Opens a file or folder only to ask what it is.
std::optional<FileIdentity> IdentityAt(const std::wstring& path, DWORD flags) {
    Handle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info))
        return std::nullopt;
    return IdentityOf(info);
}

// Held open without sharing its deletion, so the folder cannot be removed or renamed under the
// job; a volume pulled out or a drive letter given to another volume is told by the identity.
class Folder final : public TargetFolder {
public:
    Folder(std::string path, HANDLE handle, FileIdentity identity)
        : TargetFolder(std::move(path)), handle_(handle), identity_(identity) {}
    const FileIdentity& identity() const { return identity_; }
    std::wstring Name(const std::string& name) const { return ToWidePath(JoinPath(Path(), name)); }

private:
    Handle handle_;
    FileIdentity identity_;
};

Folder& Of(TargetFolder& folder) {
    return static_cast<Folder&>(folder);
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

    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        QuietDriveErrors quiet; // a player pulled out fails the call, asking nothing
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(ToWidePath(path).c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return std::nullopt;
        return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

    std::optional<FileIdentity> Identity(const std::string& path) override {
        QuietDriveErrors quiet;
        return IdentityAt(ToWidePath(path), 0);
    }

    Result<std::unique_ptr<TargetFolder>> OpenFolder(const std::string& path) override {
        Handle folder(CreateFileW(ToWidePath(path).c_str(), FILE_LIST_DIRECTORY,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!folder.valid())
            return LastFailure();
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(folder.get(), &info))
            return LastFailure();
        if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            return Status::Error("it is not a folder");
        return std::unique_ptr<TargetFolder>(
            std::make_unique<Folder>(path, folder.Release(), IdentityOf(info)));
    }

    Status FolderPresent(TargetFolder& folder) override {
        QuietDriveErrors quiet;
        const auto now = IdentityAt(ToWidePath(folder.Path()), 0);
        if (!now || *now != Of(folder).identity())
            return Status::Error("the folder " + folder.Path() +
                                 " is no longer there (its volume was removed)");
        return Status::Ok();
    }

    // Shared for deletion only, so the complete copy can be named while still open; an open
    // without sharing (a leftover's removal) fails while it is.
    Result<std::unique_ptr<CopyTarget>> CreateTarget(TargetFolder& folder,
                                                     const std::string& name) override {
        if (auto present = FolderPresent(folder); !present)
            return present;
        const HANDLE file =
            CreateFileW(Of(folder).Name(name).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return LastFailure();
        return std::unique_ptr<CopyTarget>(std::make_unique<Target>(file));
    }

    Result<bool> RenameNoReplace(TargetFolder& folder, const std::string& from,
                                 const std::string& to) override {
        if (auto present = FolderPresent(folder); !present)
            return present;
        if (MoveFileExW(Of(folder).Name(from).c_str(), Of(folder).Name(to).c_str(),
                        MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        if (NameTaken(error))
            return false;
        return Failure(error);
    }

    Status RenameReplacing(TargetFolder& folder, const std::string& from,
                           const std::string& to) override {
        if (auto present = FolderPresent(folder); !present)
            return present;
        if (!MoveFileExW(Of(folder).Name(from).c_str(), Of(folder).Name(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return LastFailure();
        return Status::Ok();
    }

    Status Remove(TargetFolder& folder, const std::string& name) override {
        if (!DeleteFileW(Of(folder).Name(name).c_str()))
            return LastFailure();
        return Status::Ok();
    }

    Result<std::optional<FileIdentity>> Lookup(TargetFolder& folder,
                                               const std::string& name) override {
        const std::wstring path = Of(folder).Name(name);
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            if (NotThere(error))
                return std::optional<FileIdentity>();
            return Failure(error);
        }
        const auto identity = IdentityAt(path, FILE_FLAG_OPEN_REPARSE_POINT);
        if (!identity)
            return Status::Error("the file " + name + " cannot be looked at");
        return std::optional<FileIdentity>(*identity);
    }

    // The search answers with the long name of the file it found.
    bool IsShortNameOfAnother(TargetFolder& folder, const std::string& name) override {
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW(Of(folder).Name(name).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return false;
        FindClose(search);
        return CompareStringOrdinal(found.cFileName, -1, win32::ToWide(name).c_str(), -1, TRUE) !=
               CSTR_EQUAL;
    }

    Result<std::uint64_t> FreeSpace(TargetFolder& folder) override {
        return platform::FreeSpace(folder.Path());
    }

    // Opening without sharing, to be deleted when closed, succeeds only while no copy holds
    // the file: a live one is never touched.
    Result<std::size_t> RemoveLeftovers(TargetFolder& folder, const std::string& prefix,
                                        const std::string& suffix) override {
        WIN32_FIND_DATAW found{};
        const HANDLE search =
            FindFirstFileW(Of(folder).Name(prefix + "*" + suffix).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND)
                return std::size_t{0};
            return Failure(error);
        }
        std::size_t removed = 0;
        do {
            if ((found.dwFileAttributes &
                 (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
                continue;
            const std::string name = win32::ToUtf8(found.cFileName);
            // The search also matches short names: only our own long ones count.
            if (!name.starts_with(prefix) || !name.ends_with(suffix))
                continue;
            Handle file(CreateFileW(Of(folder).Name(name).c_str(), DELETE, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
            if (file.valid() && file.Close())
                ++removed;
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return removed;
    }
};

} // namespace

CopyFiles& SystemCopyFiles() {
    static SystemFiles files;
    return files;
}

} // namespace platform
