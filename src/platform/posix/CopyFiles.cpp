#include "platform/CopyFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

Status Failure(int error) {
    return Status::Error(std::strerror(error));
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    Status Close() {
        const int fd = fd_;
        fd_ = -1;
        // After EINTR the descriptor is gone on Linux: closing again could hit another file.
        if (fd >= 0 && ::close(fd) != 0 && errno != EINTR)
            return Failure(errno);
        return Status::Ok();
    }

private:
    int fd_;
};

class Source final : public CopySource {
public:
    Source(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

    Result<std::size_t> Read(std::uint8_t* into, std::size_t bytes) override {
        for (;;) {
            const ssize_t got = ::read(fd_.get(), into, bytes);
            if (got >= 0)
                return static_cast<std::size_t>(got);
            if (errno != EINTR)
                return Failure(errno);
        }
    }
    std::uint64_t Size() const override { return size_; }
    Status Close() override { return fd_.Close(); }

    int fd() const { return fd_.get(); }

private:
    Descriptor fd_;
    std::uint64_t size_;
};

class Target final : public CopyTarget {
public:
    Target(int fd, std::uint64_t volume, bool flushedByVolume)
        : fd_(fd), volume_(volume), flushedByVolume_(flushedByVolume) {}

    Status Write(const std::uint8_t* from, std::size_t bytes) override {
        const off_t start = written_;
        while (bytes > 0) {
            const ssize_t put = ::write(fd_.get(), from, bytes);
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0)
                return Failure(errno);
            if (put == 0)
                return Failure(ENOSPC);
            from += put;
            bytes -= static_cast<std::size_t>(put);
            written_ += put;
        }
        StartWriteback(start);
        return Status::Ok();
    }
    // Within one file system the kernel copies (or shares the blocks, where it can) without
    // handing the bytes to us; between two it refuses, and reading and writing take over.
    std::optional<std::size_t> MoveFrom(CopySource& source, std::size_t bytes) override {
        const auto* from = dynamic_cast<const Source*>(&source);
        while (moving_ && from != nullptr) {
            const ssize_t moved =
                ::copy_file_range(from->fd(), nullptr, fd_.get(), nullptr, bytes, 0);
            if (moved < 0 && errno == EINTR)
                continue;
            if (moved <= 0)
                break;
            const off_t start = written_;
            written_ += moved;
            StartWriteback(start);
            return static_cast<std::size_t>(moved);
        }
        moving_ = false;
        return std::nullopt;
    }
    Status Flush() override {
        if (::fdatasync(fd_.get()) != 0)
            return Failure(errno);
        return Status::Ok();
    }
    Status Close() override { return fd_.Close(); }

    int fd() const { return fd_.get(); }
    std::uint64_t volume() const { return volume_; }
    bool flushedByVolume() const { return flushedByVolume_; }

private:
    // Writing back starts now, while the copy goes on, so the flush before the rename has little
    // left to wait for. Only a hint: a file system without it loses nothing.
    void StartWriteback(off_t from) {
        (void)::sync_file_range(fd_.get(), from, written_ - from, SYNC_FILE_RANGE_WRITE);
    }

    Descriptor fd_;
    std::uint64_t volume_;
    bool flushedByVolume_;
    off_t written_ = 0;
    bool moving_ = true;
};

// Local file systems whose syncfs writes every dirty file and reports a failure of any: there
// one syncfs stands for each file's fdatasync. Not FUSE or network file systems, whose syncfs
// may not reach the server's own disk.
bool FlushedByVolume(int fd) {
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0xEF53:     // ext2, ext3, ext4
    case 0x58465342: // xfs
    case 0x9123683E: // btrfs
    case 0xF2F52010: // f2fs
    case 0x4d44:     // vfat, msdos
    case 0x2011BAB0: // exfat
    case 0x7366746E: // ntfs3
        return true;
    default:
        return false;
    }
}

bool CannotRenameWithoutReplacing(int error) {
    return error == EINVAL || error == ENOSYS || error == ENOTSUP;
}

FileIdentity IdentityOf(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

// A file a live copy holds is locked. Where the file system has no locks, only age tells.
constexpr int kYoungestUnlockableLeftoverSeconds = 3600;

class Folder final : public TargetFolder {
public:
    Folder(std::string path, int fd, FileIdentity identity)
        : TargetFolder(std::move(path)), fd_(fd), identity_(identity),
          flushedByVolume_(FlushedByVolume(fd)) {}
    int fd() const { return fd_.get(); }
    const FileIdentity& identity() const { return identity_; }
    bool flushedByVolume() const { return flushedByVolume_; }

private:
    Descriptor fd_;
    FileIdentity identity_;
    bool flushedByVolume_;
};

Folder& Of(TargetFolder& folder) {
    return static_cast<Folder&>(folder);
}

class SystemFiles final : public CopyFiles {
public:
    Result<std::unique_ptr<CopySource>> OpenSource(const std::string& path) override {
        // Non-blocking, so a FIFO in the player's folders fails below instead of waiting for a
        // writer.
        Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (fd.get() < 0)
            return Failure(errno);
        struct stat info {};
        if (::fstat(fd.get(), &info) != 0)
            return Failure(errno);
        if (!S_ISREG(info.st_mode))
            return Status::Error("it is not a regular file");
        const int flags = ::fcntl(fd.get(), F_GETFL);
        if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
            return Failure(errno);
        (void)::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
        return std::unique_ptr<CopySource>(
            std::make_unique<Source>(fd.Release(), static_cast<std::uint64_t>(info.st_size)));
    }

    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            return std::nullopt;
        return static_cast<std::uint64_t>(info.st_size);
    }

    std::optional<FileIdentity> Identity(const std::string& path) override {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            return std::nullopt;
        return IdentityOf(info);
    }

    Result<std::unique_ptr<TargetFolder>> OpenFolder(const std::string& path) override {
        Descriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd.get() < 0)
            return Failure(errno);
        struct stat info {};
        if (::fstat(fd.get(), &info) != 0)
            return Failure(errno);
        return std::unique_ptr<TargetFolder>(
            std::make_unique<Folder>(path, fd.Release(), IdentityOf(info)));
    }

    // An unmounted volume shows the empty mount-point folder under the path; a removed folder
    // has no links left.
    Status FolderPresent(TargetFolder& folder) override {
        Folder& opened = Of(folder);
        struct stat held {};
        if (::fstat(opened.fd(), &held) != 0 || held.st_nlink == 0)
            return Status::Error("the folder " + folder.Path() + " is no longer there");
        struct stat now {};
        if (::stat(folder.Path().c_str(), &now) != 0 || IdentityOf(now) != opened.identity())
            return Status::Error("the folder " + folder.Path() +
                                 " is no longer there (its volume was removed or unmounted)");
        return Status::Ok();
    }

    Result<std::unique_ptr<CopyTarget>> CreateTarget(TargetFolder& folder,
                                                     const std::string& name) override {
        if (auto present = FolderPresent(folder); !present)
            return present;
        const int dir = Of(folder).fd();
        Descriptor fd(::openat(dir, name.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (fd.get() < 0)
            return Failure(errno);
        // The lock tells a live copy from a leftover (a file system without locks only loses
        // that). Another job's cleanup may have taken the file in the moment before it was
        // locked: then the name no longer leads to it, and the caller takes another.
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
            return Status::Error("the new file was taken for a leftover");
        struct stat made {
        }, named{};
        if (::fstat(fd.get(), &made) != 0 ||
            ::fstatat(dir, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            IdentityOf(made) != IdentityOf(named))
            return Status::Error("the new file was taken for a leftover");
        return std::unique_ptr<CopyTarget>(std::make_unique<Target>(
            fd.Release(), IdentityOf(made).volume, Of(folder).flushedByVolume()));
    }

    Result<bool> RenameNoReplace(TargetFolder& folder, const std::string& from,
                                 const std::string& to) override {
        if (auto present = FolderPresent(folder); !present)
            return present;
        const int dir = Of(folder).fd();
        if (::renameat2(dir, from.c_str(), dir, to.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno == EEXIST)
            return false;
        if (!CannotRenameWithoutReplacing(errno))
            return Failure(errno);
        // A file system without the flag: a hard link never replaces either.
        if (::linkat(dir, from.c_str(), dir, to.c_str(), 0) == 0) {
            ::unlinkat(dir, from.c_str(), 0);
            return true;
        }
        if (errno == EEXIST)
            return false;
        // Nor links (FAT): look, then rename. Only another program racing us can slip between.
        auto there = Lookup(folder, to);
        if (!there)
            return there.status();
        if (*there)
            return false;
        if (::renameat(dir, from.c_str(), dir, to.c_str()) != 0)
            return Failure(errno);
        return true;
    }

    Status RenameReplacing(TargetFolder& folder, const std::string& from,
                           const std::string& to) override {
        if (auto present = FolderPresent(folder); !present)
            return present;
        const int dir = Of(folder).fd();
        if (::renameat(dir, from.c_str(), dir, to.c_str()) != 0)
            return Failure(errno);
        return Status::Ok();
    }

    Status Remove(TargetFolder& folder, const std::string& name) override {
        if (::unlinkat(Of(folder).fd(), name.c_str(), 0) != 0)
            return Failure(errno);
        return Status::Ok();
    }

    Result<std::optional<FileIdentity>> Lookup(TargetFolder& folder,
                                               const std::string& name) override {
        struct stat info {};
        if (::fstatat(Of(folder).fd(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
            return std::optional<FileIdentity>(IdentityOf(info));
        if (errno == ENOENT)
            return std::optional<FileIdentity>();
        return Failure(errno);
    }

    // One syncfs per volume for the copies on it, then one fdatasync, which on every file system
    // here also flushes the disk's own cache (FAT's syncfs does not). Should that fail, each file
    // is flushed by itself, so every failure is the file's own.
    std::vector<Status> FlushAll(const std::vector<CopyTarget*>& targets) override {
        std::vector<Status> flushed(targets.size(), Status::Ok());
        std::map<std::uint64_t, std::vector<std::size_t>> volumes;
        for (std::size_t i = 0; i < targets.size(); ++i) {
            const auto* own = dynamic_cast<const Target*>(targets[i]);
            if (own != nullptr && own->flushedByVolume())
                volumes[own->volume()].push_back(i);
            else
                flushed[i] = targets[i]->Flush();
        }
        for (const auto& [volume, on] : volumes) {
            // The first copy was opened before any of the others was written: its syncfs
            // reports a failure of any of them.
            const int first = static_cast<const Target*>(targets[on.front()])->fd();
            const int last = static_cast<const Target*>(targets[on.back()])->fd();
            if (::syncfs(first) == 0 && ::fdatasync(last) == 0)
                continue;
            for (std::size_t i : on)
                flushed[i] = targets[i]->Flush();
        }
        return flushed;
    }

    // Zero blocks in all: the volume does not know (some FUSE file systems), which is no
    // reason to refuse a copy.
    Result<std::uint64_t> FreeSpace(TargetFolder& folder) override {
        struct statvfs info {};
        if (::fstatvfs(Of(folder).fd(), &info) != 0)
            return Failure(errno);
        if (info.f_blocks == 0)
            return Status::Error("the volume does not tell its free space");
        return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
    }

    Result<std::size_t> RemoveLeftovers(TargetFolder& folder, const std::string& prefix,
                                        const std::string& suffix) override {
        const int listed = ::openat(Of(folder).fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (listed < 0)
            return Failure(errno);
        DIR* dir = ::fdopendir(listed);
        if (dir == nullptr) {
            ::close(listed);
            return Failure(errno);
        }
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name.size() > prefix.size() + suffix.size() && name.starts_with(prefix) &&
                name.ends_with(suffix))
                names.emplace_back(name);
        }
        ::closedir(dir);
        std::size_t removed = 0;
        const auto now = std::time(nullptr);
        for (const std::string& name : names) {
            Descriptor fd(::openat(Of(folder).fd(), name.c_str(),
                                   O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
            struct stat info {};
            if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
                continue;
            if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 &&
                (errno == EWOULDBLOCK || now - info.st_mtime < kYoungestUnlockableLeftoverSeconds))
                continue; // a live copy's, or it cannot be told
            if (::unlinkat(Of(folder).fd(), name.c_str(), 0) == 0)
                ++removed;
        }
        return removed;
    }
};

} // namespace

CopyFiles& SystemCopyFiles() {
    static SystemFiles files;
    return files;
}

} // namespace platform
