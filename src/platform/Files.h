#pragma once

#include "platform/Status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct DirEntry {
    std::string name; // UTF-8, as the file system spells it
    std::uint64_t size = 0;
    bool isDirectory = false;
};

bool FileExists(const std::string& path);      // an existing entry that is not a folder
bool DirectoryExists(const std::string& path); // an existing folder

// Every entry of one folder with its size, in one listing (no per-entry search).
// Nothing when the folder cannot be listed.
std::optional<std::vector<DirEntry>> ListDirectory(const std::string& path);

// The whole file, opened with sharing denied for writers so it cannot change under us.
// Files larger than maxBytes are refused rather than read.
Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::uint64_t maxBytes);

// Replaces the file's contents (written beside it, then renamed over it).
Status WriteWholeFile(const std::string& path, const std::string& contents);

// Creates the folder and any missing parents.
Status CreateDirectories(const std::string& path);

} // namespace platform
