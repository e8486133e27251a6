#include "platform/AppendFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

Status Failure() {
    return Status::Error(std::strerror(errno));
}

} // namespace

Result<AppendFile> AppendFile::Open(const std::string& path) {
    // O_APPEND: every write lands at the end, even after another program's.
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return Failure();
    AppendFile file(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return Failure();
    if (!S_ISREG(info.st_mode))
        return Status::Error("not a regular file");
    return file;
}

AppendFile::AppendFile(AppendFile&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

AppendFile& AppendFile::operator=(AppendFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, -1);
    }
    return *this;
}

AppendFile::~AppendFile() {
    Close();
}

void AppendFile::Close() {
    if (handle_ >= 0)
        ::close(static_cast<int>(std::exchange(handle_, -1)));
}

Result<std::uint64_t> AppendFile::Size() const {
    struct stat info {};
    if (::fstat(static_cast<int>(handle_), &info) != 0)
        return Failure();
    return static_cast<std::uint64_t>(info.st_size);
}

Result<std::string> AppendFile::Read(std::uint64_t offset, std::size_t count) const {
    std::string bytes(count, '\0');
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(static_cast<int>(handle_), bytes.data() + done, count - done,
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Failure();
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

Status AppendFile::Append(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return Failure();
        if (put == 0)
            return Status::Error("nothing could be written");
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return Status::Ok();
}

Status MoveFileReplacing(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0)
        return Failure();
    return Status::Ok();
}

} // namespace platform
