#include "platform/Files.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::string ErrorText(int error) {
    return std::strerror(error);
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::optional<std::vector<DirEntry>> ListDirectory(const std::string& path) {
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr)
        return std::nullopt;
    std::vector<DirEntry> entries;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat info {};
        // Sizes come from the listed folder's handle, so no path is searched again. Only a
        // file system that gives no entry types costs a second call, to tell links apart.
        bool isLink = entry->d_type == DT_LNK;
        if (entry->d_type == DT_UNKNOWN) {
            if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            isLink = S_ISLNK(info.st_mode);
        }
        if ((entry->d_type != DT_UNKNOWN || isLink) &&
            ::fstatat(dirFd, entry->d_name, &info, 0) != 0)
            continue;
        entries.push_back(DirEntry{std::string(name), static_cast<std::uint64_t>(info.st_size),
                                   S_ISDIR(info.st_mode), S_ISREG(info.st_mode), isLink});
    }
    ::closedir(dir);
    return entries;
}

std::optional<ResolvedPath> ResolvePath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return std::nullopt;
    ResolvedPath result;
    result.path = resolved;
    std::free(resolved);
    struct stat info {};
    if (::stat(result.path.c_str(), &info) != 0)
        return std::nullopt;
    result.size = static_cast<std::uint64_t>(info.st_size);
    result.isDirectory = S_ISDIR(info.st_mode);
    result.isFile = S_ISREG(info.st_mode);
    return result;
}

namespace {

// Buffer: a std::vector or a FileImage, made at the file's size and cut to what was read.
template <typename Buffer>
Result<Buffer> ReadWhole(const std::string& path, std::uint64_t maxBytes) {
    // Without O_NONBLOCK the open of a pipe waits for a writer, for ever.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0)
        return Status::Error(ErrorText(errno));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return Status::Error(ErrorText(errno));
    if (S_ISDIR(info.st_mode))
        return Status::Error("it is a folder");
    if (!S_ISREG(info.st_mode))
        return Status::Error("it is not a regular file");
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return Status::Error(ErrorText(errno));
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes)
        return Status::Error("the file is too large (" + std::to_string(info.st_size) + " bytes)");
    Buffer data(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t got = ::read(fd.get(), data.data() + done, data.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Status::Error(ErrorText(errno));
        if (got == 0)
            break; // the file shrank while we read it
        done += static_cast<std::size_t>(got);
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
    const std::string temporary =
        path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    {
        Fd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (fd.get() < 0)
            return Status::Error(ErrorText(errno));
        std::size_t done = 0;
        while (done < contents.size()) {
            const ssize_t put = ::write(fd.get(), contents.data() + done, contents.size() - done);
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0) {
                const int error = errno;
                ::unlink(temporary.c_str());
                return Status::Error(ErrorText(error));
            }
            done += static_cast<std::size_t>(put);
        }
        if (::fsync(fd.get()) != 0) {
            const int error = errno;
            ::unlink(temporary.c_str());
            return Status::Error(ErrorText(error));
        }
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Status::Error(ErrorText(error));
    }
    return Status::Ok();
}

Status CreateDirectories(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error && !DirectoryExists(path))
        return Status::Error(error.message());
    return Status::Ok();
}

} // namespace platform
