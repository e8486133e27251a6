#pragma once

#include "platform/Status.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

struct DirEntry {
    std::string name; // UTF-8, as the file system spells it
    std::uint64_t size = 0;
    bool isDirectory = false;
    bool isFile = false; // a regular file: no folder, pipe, socket or device
    // A symbolic link (on Windows any reparse point, junctions included). Where it leads, and
    // what lies there, is for ResolvePath to say.
    bool isLink = false;
};

// What a path leads to with every link in it resolved.
struct ResolvedPath {
    std::string path; // absolute and canonical, comparable with IsWithin
    std::uint64_t size = 0;
    bool isDirectory = false;
    bool isFile = false;
};

bool FileExists(const std::string& path);      // an existing entry that is not a folder
bool DirectoryExists(const std::string& path); // an existing folder

// Every entry of one folder with its size, in one listing (no per-entry search).
// Nothing when the folder cannot be listed.
std::optional<std::vector<DirEntry>> ListDirectory(const std::string& path);

// Nothing when the path leads nowhere (missing, a dangling link or a loop, no access).
std::optional<ResolvedPath> ResolvePath(const std::string& path);

// The whole file, opened with sharing denied for writers so it cannot change under us.
// Files larger than maxBytes are refused rather than read, and so is anything but a regular
// file; the open never waits (for a pipe's writer, a device).
Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::uint64_t maxBytes);

// The bytes of a file read whole, never zero-filled first: a database of hundreds of
// megabytes is read once, and filling a buffer beforehand would cost as much again. Read, not
// mapped: a mapped file whose volume goes away (a player pulled out) faults where it is read.
class FileImage {
public:
    FileImage() = default;
    // size bytes of uninitialised memory, to read into.
    explicit FileImage(std::size_t size) : data_(new std::uint8_t[size]), size_(size) {}

    std::uint8_t* data() { return data_.get(); }
    const std::uint8_t* data() const { return data_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Only ever shorter: the file ended before its size said.
    void resize(std::size_t size) { size_ = size < size_ ? size : size_; }
    std::span<const std::uint8_t> bytes() const { return {data_.get(), size_}; }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t size_ = 0;
};

// As ReadWholeFile, into a FileImage.
Result<FileImage> ReadFileImage(const std::string& path, std::uint64_t maxBytes);

// Replaces the file's contents (written beside it, then renamed over it).
Status WriteWholeFile(const std::string& path, const std::string& contents);

// Creates the folder and any missing parents.
Status CreateDirectories(const std::string& path);

} // namespace platform
