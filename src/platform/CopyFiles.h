#pragma once

#include "platform/Status.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// A file opened for reading by a copy. Closed by Close or, failing that, by the destructor.
class CopySource {
public:
    virtual ~CopySource() = default;
    // Up to `bytes` bytes; 0 at the end of the file.
    virtual Result<std::size_t> Read(std::uint8_t* into, std::size_t bytes) = 0;
    // The size when the file was opened.
    virtual std::uint64_t Size() const = 0;
    virtual Status Close() = 0;
};

// A file created by a copy. Closed by Close or, failing that, by the destructor.
class CopyTarget {
public:
    virtual ~CopyTarget() = default;
    // All bytes, or a failure (a full volume among them).
    virtual Status Write(const std::uint8_t* from, std::size_t bytes) = 0;
    // Moves up to `bytes` bytes from the source's position to the end of this file inside the
    // system, without passing them through the program: the count moved, at least 1. Nothing
    // when it moves nothing (the end of the source, a failure, files it cannot move between):
    // Read and Write then go on from where it left off and meet the end or the failure
    // themselves.
    virtual std::optional<std::size_t> MoveFrom(CopySource& source, std::size_t bytes) {
        (void)source, (void)bytes;
        return std::nullopt;
    }
    // Down to the disk: only then may the file take a name that says it is complete.
    virtual Status Flush() = 0;
    virtual Status Close() = 0;
};

// The file operations of the copy worker, behind one interface so tests can make any of them
// fail.
class CopyFiles {
public:
    virtual ~CopyFiles() = default;

    // Only a regular file, opened without blocking (a pipe or device on the player never hangs
    // the copy), sharing denied to writers where the system allows.
    virtual Result<std::unique_ptr<CopySource>> OpenSource(const std::string& path) = 0;
    // A new file; fails when anything of that name exists.
    virtual Result<std::unique_ptr<CopyTarget>> CreateTarget(const std::string& path) = 0;
    // Gives `from` the name `to` unless something of that name exists: then false, nothing
    // changed.
    virtual Result<bool> RenameNoReplace(const std::string& from, const std::string& to) = 0;
    // Gives `from` the name `to`, replacing the file of that name in one step.
    virtual Status RenameReplacing(const std::string& from, const std::string& to) = 0;
    virtual Status Remove(const std::string& path) = 0;
    // Anything at the path: a file, a folder, a link.
    virtual bool Exists(const std::string& path) = 0;
    // The size of the regular file at the path; nothing when there is none.
    virtual std::optional<std::uint64_t> FileSize(const std::string& path) = 0;
    // Bytes free for this user on the volume that holds the folder.
    virtual Result<std::uint64_t> FreeSpace(const std::string& folder) = 0;
};

// The real file system.
CopyFiles& SystemCopyFiles();

} // namespace platform
