// Times the load of a player's library, phase by phase: reading the database file, parsing it,
// computing the size texts; then the whole load and the library's memory.
//
// usage: load_bench PLAYER_ROOT [REPEATS]

#include "core/device/DevicePath.h"
#include "core/device/TiPod.h"
#include "core/device/TrackListReader.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

double MedianMs(int repeats, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

long PeakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: load_bench PLAYER_ROOT [REPEATS]\n");
        return 1;
    }
    const std::string root = argv[1];
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;

    // The whole load first, in a fresh process state, for the peak memory it needs.
    const long rssBefore = PeakRssKb();
    TiPod library;
    library.iPodPath = root;
    TLoadReport report;
    const double wholeFirst = MedianMs(1, [&] { report = library.LoadDatabase(); });
    const long rssAfterLoad = PeakRssKb();
    if (report.outcome != TLoadReport::Outcome::Loaded) {
        std::fprintf(stderr, "load_bench: the player at %s did not load (%s)\n", root.c_str(),
                     report.message.c_str());
        return 1;
    }

    device::PlayerFiles locate(root);
    const std::string databasePath = *device::FindDatabaseFile(locate);
    std::vector<std::uint8_t> image;
    const double readMs = MedianMs(repeats, [&] {
        image = std::move(*platform::ReadWholeFile(databasePath, device::kMaxDatabaseBytes));
    });

    device::TrackStore store;
    const double parseMs = MedianMs(repeats, [&] {
        store = device::TrackStore();
        device::DataSetTable sets{};
        device::ParseDatabase(image, store, sets);
    });

    std::size_t listings = 0;
    const std::string separator = platform::DecimalSeparator();
    const double sizeMs = MedianMs(repeats, [&] {
        device::PlayerFiles files(root);
        device::ComputeSizeTexts(store, files, separator);
        listings = files.FolderListings();
    });

    const double wholeMs = MedianMs(repeats, [&] { library.LoadDatabase(); });

    std::printf("tracks                     %d\n", library.GetSongCount());
    std::printf("database bytes             %zu\n", image.size());
    std::printf("(a) read file              %.2f ms\n", readMs);
    std::printf("(b) parse                  %.2f ms\n", parseMs);
    std::printf("(c) size texts             %.2f ms  (%zu folder listings)\n", sizeMs, listings);
    std::printf("ratio (b)/(a)              %.2f\n", parseMs / readMs);
    std::printf("whole load                 %.2f ms (first: %.2f ms)\n", wholeMs, wholeFirst);
    std::printf("library text               %zu bytes\n", library.TextBytes());
    std::printf(
        "library memory             %zu bytes (%.2f x text, %.1f bytes/track beyond text)\n",
        library.MemoryBytes(),
        static_cast<double>(library.MemoryBytes()) / static_cast<double>(library.TextBytes()),
        static_cast<double>(library.MemoryBytes() - library.TextBytes()) /
            std::max(1, library.GetSongCount()));
    std::printf("peak RSS before/after load %ld / %ld KiB\n", rssBefore, rssAfterLoad);
    return 0;
}
