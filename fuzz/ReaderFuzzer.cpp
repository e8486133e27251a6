// Feeds arbitrary bytes to the database reader (inflating them first where they are marked
// compressed) and to the shuffle database reader; any read outside the image, undefined
// behaviour, endless loop or runaway allocation is a finding.

#include "core/device/CompressedDatabase.h"
#include "core/device/PlaylistReader.h"
#include "core/device/ShuffleDatabase.h"
#include "core/device/TrackListReader.h"
#include "core/device/TrackStore.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

// Small enough for the fuzzer's memory limit; the reader's own bound is larger.
constexpr std::uint64_t kMostInflated = 64u << 20;

void CheckShuffle(std::span<const std::uint8_t> image) {
    const device::ShuffleParse parse = device::ParseShuffleDatabase(image);
    if (parse.locations.size() > static_cast<std::size_t>(std::max(parse.announced, 0)))
        __builtin_trap();
    if (!parse.recognised && !parse.locations.empty())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckShuffle({data, size});
    std::span<const std::uint8_t> image(data, size);
    std::vector<std::uint8_t> inflated;
    if (device::IsCompressedDatabase(image)) {
        auto result = device::InflateDatabase(image, kMostInflated);
        if (result.ok() && result->size() > kMostInflated)
            __builtin_trap();
        if (result.ok())
            inflated = std::move(*result);
        image = inflated;
    }
    std::size_t members = 0;
    for (const device::Playlist& playlist : device::ReadPlaylists(image))
        members += playlist.trackIds.size() + playlist.name.size();
    if (members > 3 * image.size())
        __builtin_trap();
    device::TrackStore store;
    device::DataSetTable dataSets{};
    const device::ParseOutcome outcome = device::ParseDatabase(image, store, dataSets);

    // Touch every text so that a bad offset shows up here rather than in the window.
    std::size_t total = 0;
    for (std::int32_t i = 0; i < store.Count(); ++i)
        for (int field = 0; field < kSongFieldCount; ++field)
            total += store.Field(i, static_cast<SongField>(field)).size();
    if (store.Count() > (outcome.announced > 0 ? outcome.announced : 0))
        __builtin_trap();
    if (outcome.complete && store.Count() != outcome.announced)
        __builtin_trap();
    // UTF-8 output is at most three bytes per input byte.
    if (total > 3 * image.size())
        __builtin_trap();
    return 0;
}
