#include "platform/Shell.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

extern char** environ;

namespace platform {

Status ShellOpen(const std::string& target) {
    // The desktop's opener; it returns at once and leaves the program it starts running.
    char program[] = "xdg-open";
    std::string argument = target;
    char* arguments[] = {program, argument.data(), nullptr};
    pid_t child = 0;
    const int error = ::posix_spawnp(&child, program, nullptr, nullptr, arguments, environ);
    if (error != 0)
        return Status::Error(std::string("xdg-open: ") + std::strerror(error));
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return Status::Error("xdg-open could not open " + target);
    return Status::Ok();
}

Status CopyFileReplacing(const std::string& from, const std::string& to) {
    std::error_code error;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    if (error)
        return Status::Error(error.message());
    struct stat info {};
    if (::stat(from.c_str(), &info) != 0)
        return Status::Error(std::strerror(errno));
    const struct timespec times[2] = {{0, UTIME_OMIT}, info.st_mtim};
    if (::utimensat(AT_FDCWD, to.c_str(), times, 0) != 0)
        return Status::Error(std::strerror(errno));
    return Status::Ok();
}

bool IsUnchangedCopy(const std::string& from, const std::string& to) {
    struct stat source {};
    struct stat copy {};
    return ::stat(from.c_str(), &source) == 0 && ::stat(to.c_str(), &copy) == 0 &&
           S_ISREG(source.st_mode) && S_ISREG(copy.st_mode) && source.st_size == copy.st_size &&
           source.st_mtim.tv_sec == copy.st_mtim.tv_sec &&
           source.st_mtim.tv_nsec == copy.st_mtim.tv_nsec;
}

} // namespace platform
