#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The other files of a player that tests, seeds and benchmarks need: a compressed database,
// both layouts of a shuffle's database, and the smallest valid music files of the common kinds
// with tags written here, byte by byte, so that what the reader finds can be checked against
// what was written.
namespace dbbuild {

// The database as later players keep it: the file header with its compression mark (the
// 16-bit value at 0xA8) set to 1, then everything after the header as one zlib stream. The
// header must be at least 0xAA bytes long (kFileHeaderLength is).
std::vector<std::uint8_t> CompressDatabase(const std::vector<std::uint8_t>& database);

// A shuffle database listing the given paths ("/iPod_Control/Music/F00/A.mp3"): the first
// shuffles' big-endian layout, or the later little-endian one.
std::vector<std::uint8_t> BuildOldShuffleDatabase(const std::vector<std::string>& paths);
std::vector<std::uint8_t> BuildShuffleDatabase(const std::vector<std::string>& paths);

struct Tags {
    std::string title, artist, album, genre, comment, composer, grouping;
};

// An MPEG-1 Layer III file of a few silent frames behind an ID3v2.4 tag of UTF-8 frames (only
// the non-empty tags).
std::vector<std::uint8_t> Mp3WithTags(const Tags& tags);
// An MPEG-4 audio file (ftyp, moov with one AAC track and its item list).
std::vector<std::uint8_t> M4aWithTags(const Tags& tags);
// A WAV file of a few silent samples, without any tag.
std::vector<std::uint8_t> WavWithoutTags();

} // namespace dbbuild
