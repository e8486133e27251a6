#include "platform/CopyFiles.h"

#include "platform/Drives.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    explicit Target(int fd) : fd_(fd) {}

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

private:
    // Writing back starts now, while the copy goes on, so the flush before the rename has little
    // left to wait for. Only a hint: a file system without it loses nothing.
    void StartWriteback(off_t from) {
        (void)::sync_file_range(fd_.get(), from, written_ - from, SYNC_FILE_RANGE_WRITE);
    }

    Descriptor fd_;
    off_t written_ = 0;
    bool moving_ = true;
};

bool CannotRenameWithoutReplacing(int error) {
    return error == EINVAL || error == ENOSYS || error == ENOTSUP;
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

    Result<std::unique_ptr<CopyTarget>> CreateTarget(const std::string& path) override {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            return Failure(errno);
        return std::unique_ptr<CopyTarget>(std::make_unique<Target>(fd));
    }

    Result<bool> RenameNoReplace(const std::string& from, const std::string& to) override {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno == EEXIST)
            return false;
        if (!CannotRenameWithoutReplacing(errno))
            return Failure(errno);
        // A file system without the flag: a hard link never replaces either.
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return true;
        }
        if (errno == EEXIST)
            return false;
        // Nor links (FAT): look, then rename. Only another program racing us can slip between.
        if (Exists(to))
            return false;
        if (::rename(from.c_str(), to.c_str()) != 0)
            return Failure(errno);
        return true;
    }

    Status RenameReplacing(const std::string& from, const std::string& to) override {
        if (::rename(from.c_str(), to.c_str()) != 0)
            return Failure(errno);
        return Status::Ok();
    }

    Status Remove(const std::string& path) override {
        if (::unlink(path.c_str()) != 0)
            return Failure(errno);
        return Status::Ok();
    }

    bool Exists(const std::string& path) override {
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0)
            return true;
        // Unknown counts as taken: a name we cannot look at is no name to write to.
        return errno != ENOENT && errno != ENOTDIR;
    }

    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            return std::nullopt;
        return static_cast<std::uint64_t>(info.st_size);
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
