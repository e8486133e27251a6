#pragma once

#include "platform/Status.h"

#include <compare>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Which file a name leads to: equal for two names of one file (a folder that ignores letter
// case answers the same for "Drive" and "DRIVE").
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    auto operator<=>(const FileIdentity&) const = default;
};

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

// A file created by a copy. While it is open no other job takes it for a leftover (see
// CopyFiles::RemoveLeftovers), and it may be renamed. Closed by Close or by the destructor.
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

// The folder of a job's copies, opened once when the job starts. Every name below is a plain
// file name in this folder, created, renamed and looked up there: a folder that goes away
// during the job (its volume unmounted, the folder removed or replaced) is noticed and never
// lets a copy land anywhere else.
class TargetFolder {
public:
    virtual ~TargetFolder() = default;
    const std::string& Path() const { return path_; }

protected:
    explicit TargetFolder(std::string path) : path_(std::move(path)) {}

private:
    std::string path_;
};

// The file operations of the copy worker, behind one interface so tests can make any of them
// fail.
class CopyFiles {
public:
    virtual ~CopyFiles() = default;

    // The player's side, by path.

    // Only a regular file, opened without blocking (a pipe or device on the player never hangs
    // the copy), sharing denied to writers where the system allows.
    virtual Result<std::unique_ptr<CopySource>> OpenSource(const std::string& path) = 0;
    // The size of the regular file at the path; nothing when there is none.
    virtual std::optional<std::uint64_t> FileSize(const std::string& path) = 0;
    // What the path leads to now; nothing when it leads nowhere.
    virtual std::optional<FileIdentity> Identity(const std::string& path) = 0;

    // The target's side, in a folder opened once.

    virtual Result<std::unique_ptr<TargetFolder>> OpenFolder(const std::string& path) = 0;
    // Ok while the folder's path still leads to the folder opened; else why not.
    virtual Status FolderPresent(TargetFolder& folder) = 0;
    // A new file; fails when anything of that name exists (as the folder compares names), or
    // when the folder is no longer there.
    virtual Result<std::unique_ptr<CopyTarget>> CreateTarget(TargetFolder& folder,
                                                             const std::string& name) = 0;
    // Gives `from` the name `to` unless something of that name exists: then false, nothing
    // changed.
    virtual Result<bool> RenameNoReplace(TargetFolder& folder, const std::string& from,
                                         const std::string& to) = 0;
    // Gives `from` the name `to`, replacing the file of that name in one step.
    virtual Status RenameReplacing(TargetFolder& folder, const std::string& from,
                                   const std::string& to) = 0;
    virtual Status Remove(TargetFolder& folder, const std::string& name) = 0;
    // What the folder holds under the name, looked up as the folder's file system matches
    // names (a link is not followed); nothing when it holds nothing, a failure when it cannot
    // be told.
    virtual Result<std::optional<FileIdentity>> Lookup(TargetFolder& folder,
                                                       const std::string& name) = 0;
    // Whether the folder finds another file's own name under this one: on Windows, a short
    // (8.3) name such as "LONGFI~1.MP3" leads to the file "Long file name.mp3".
    virtual bool IsShortNameOfAnother(TargetFolder& folder, const std::string& name) {
        (void)folder, (void)name;
        return false;
    }
    // Flushes complete copies down to the disk, as Flush does each: where the system can flush
    // a whole volume at once, that is one wait for all instead of one for each. Called from a
    // thread of its own while the job copies on; the result of each, in order.
    virtual std::vector<Status> FlushAll(const std::vector<CopyTarget*>& targets) {
        std::vector<Status> flushed;
        flushed.reserve(targets.size());
        for (CopyTarget* target : targets)
            flushed.push_back(target->Flush());
        return flushed;
    }
    // Bytes free for this user on the folder's volume; a failure when the volume cannot say.
    virtual Result<std::uint64_t> FreeSpace(TargetFolder& folder) = 0;
    // Removes the regular files whose names begin with prefix and end with suffix, unless a
    // copy still has them open (this program's or another's); how many were removed.
    virtual Result<std::size_t> RemoveLeftovers(TargetFolder& folder, const std::string& prefix,
                                                const std::string& suffix) = 0;
};

// The real file system.
CopyFiles& SystemCopyFiles();

} // namespace platform
