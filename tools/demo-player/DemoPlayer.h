#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// Writes a whole player folder: the track database, the track files under Music/F00..F49 and
// expected.jsonl, the listing a correct reader gives for it.
namespace demoplayer {

struct Options {
    std::size_t tracks = 40;
    std::uint64_t seed = 1;
    std::uint64_t minFileBytes = 256;
    std::uint64_t maxFileBytes = 4096;
    bool sparse = false; // files get their size without their blocks
};

struct Summary {
    std::size_t tracks = 0;
    std::size_t filesWritten = 0;
    std::size_t filesMissing = 0;
    std::size_t zeroByteFiles = 0;
    std::size_t databaseBytes = 0;
};

// Throws std::runtime_error (or std::filesystem::filesystem_error) on failure. A folder this
// tool wrote before (it holds expected.jsonl) is replaced; any other player folder is refused,
// so a real player is never overwritten.
Summary WritePlayer(const std::filesystem::path& root, const Options& options);

// The size text a reader shows for a file of this many bytes, with a full stop as separator.
std::string SizeText(std::uint64_t bytes);

} // namespace demoplayer
