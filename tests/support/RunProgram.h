#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;
#endif

namespace testsupport {

struct ProgramRun {
    int exitCode = -1; // -1 when the program could not be started or did not exit by itself
    std::string out;
    std::string errors;
};

namespace detail {

#ifdef _WIN32

inline std::wstring Wide(const std::string& text) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
}

// One argument as the C runtime's parser reads it back: quoted when it holds blanks or
// quotes, with backslashes doubled only where they come before a quote.
inline std::wstring QuoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

class InheritedFile {
public:
    InheritedFile(const std::wstring& path, DWORD access, DWORD creation) {
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        handle_ = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~InheritedFile() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    InheritedFile(const InheritedFile&) = delete;
    InheritedFile& operator=(const InheritedFile&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

inline int Spawn(const std::string& program, const std::vector<std::string>& arguments,
                 const std::filesystem::path& outFile, const std::filesystem::path& errFile,
                 bool unwritableOut) {
    std::wstring commandLine = QuoteArgument(Wide(program));
    for (const auto& argument : arguments)
        commandLine += L" " + QuoteArgument(Wide(argument));
    InheritedFile input(L"NUL", GENERIC_READ, OPEN_EXISTING);
    // A handle open for reading only: every write to it fails.
    InheritedFile out(outFile.wstring(), unwritableOut ? GENERIC_READ : GENERIC_WRITE,
                      CREATE_ALWAYS);
    InheritedFile err(errFile.wstring(), GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    PROCESS_INFORMATION process{};
    const std::wstring application = Wide(program);
    if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    const bool exited = GetExitCodeProcess(process.hProcess, &code) != FALSE;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exited ? static_cast<int>(code) : -1;
}

#else

inline int Spawn(const std::string& program, const std::vector<std::string>& arguments,
                 const std::filesystem::path& outFile, const std::filesystem::path& errFile,
                 bool unwritableOut) {
    std::vector<std::string> texts{program};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    // A full disk: every write fails with ENOSPC.
    posix_spawn_file_actions_addopen(&actions, 1, unwritableOut ? "/dev/full" : outFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif

inline std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace detail

// Runs a program directly (no shell in between) and waits for it; what it writes to its
// standard output and error goes through files in scratch and comes back byte for byte. With
// unwritableOut, every write to the standard output fails.
inline ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                             const std::filesystem::path& scratch, bool unwritableOut = false) {
    const auto outFile = scratch / "program-stdout.bin";
    const auto errFile = scratch / "program-stderr.bin";
    ProgramRun run;
    run.exitCode = detail::Spawn(program, arguments, outFile, errFile, unwritableOut);
    run.out = detail::ReadAll(outFile);
    run.errors = detail::ReadAll(errFile);
    return run;
}

} // namespace testsupport
