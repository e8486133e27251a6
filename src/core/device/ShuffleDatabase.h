#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace device {

// What a shuffle's own database (iPod_Control/iTunes/iTunesSD) lists: the file of each track,
// as a location the way the main database writes it (":iPod_Control:Music:F00:NAME.mp3").
struct ShuffleParse {
    bool recognised = false;    // one of the two layouts
    std::int32_t announced = 0; // the track count its header gives
    bool complete = false;      // every announced track was read
    std::string problem;        // why reading stopped early
    std::vector<std::string> locations;
};

// Both layouts: the first shuffles' big-endian header of 18 bytes with entries of 558 bytes,
// each holding a UTF-16LE path; and the later little-endian one, a database header ("bdhs")
// pointing to a track header whose offsets lead to track records with UTF-8 paths. Every count
// and offset is checked against the image: a damaged one yields the tracks before the damage.
ShuffleParse ParseShuffleDatabase(std::span<const std::uint8_t> image);

} // namespace device
