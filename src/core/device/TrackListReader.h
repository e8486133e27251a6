#pragma once

#include "core/device/TrackStore.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace device {

// Where a load found one data set of the database.
struct DataSetInfo {
    std::int32_t TotalLength = 0;
    std::int32_t HeaderLength = 0;
    std::int32_t Offset = 0;
};

// Entries for the data-set types 1 (the track list), 2 and 3.
using DataSetTable = std::array<DataSetInfo, 3>;

struct ParseOutcome {
    bool trackListFound = false;
    std::int32_t announced = 0; // the track count the track list announces
    bool complete = false;      // every announced track was read
    std::string problem;        // why reading stopped early, for the user
};

// Reads the track list of a database image into out (which should be empty). Every count and
// length is checked against its parent and the image: a damaged image yields the tracks read
// before the damage and a problem text.
ParseOutcome ParseDatabase(std::span<const std::uint8_t> image, TrackStore& out,
                           DataSetTable& dataSets);

// The inner step: reads the tracks of the track-list data set described by trackList.
ParseOutcome ReadTrackList(std::span<const std::uint8_t> image, const DataSetInfo& trackList,
                           TrackStore& out);

} // namespace device
