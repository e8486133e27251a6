// Feeds arbitrary bytes to the database reader; any read outside the image, undefined
// behaviour, endless loop or runaway allocation is a finding.

#include "core/device/TrackListReader.h"
#include "core/device/TrackStore.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    device::TrackStore store;
    device::DataSetTable dataSets{};
    const device::ParseOutcome outcome = device::ParseDatabase({data, size}, store, dataSets);

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
    if (total > 3 * size)
        __builtin_trap();
    return 0;
}
