#include "platform/Shell.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <spawn.h>
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
    return Status::Ok();
}

} // namespace platform
