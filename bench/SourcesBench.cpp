// Times the players without a plain database: the load of a 40,000-track database kept
// compressed (iTunesCDB) against the same database uncompressed, and the tracks of 10,000
// music files read from their own tags against listing the same files alone.
//
// usage: sources_bench [TRACKS] [FILES] [ROUNDS]

#include "core/device/DevicePath.h"
#include "core/device/FileTracks.h"
#include "core/device/TiPod.h"

#include "DatabaseBuilder.h"
#include "PlayerFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double Ms(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

std::string Number(int value, int digits) {
    std::string text = std::to_string(value);
    return std::string(
               static_cast<std::size_t>(std::max(0, digits - static_cast<int>(text.size()))), '0') +
           text;
}

} // namespace

int main(int argc, char** argv) {
    const int tracks = argc > 1 ? std::atoi(argv[1]) : 40000;
    const int fileCount = argc > 2 ? std::atoi(argv[2]) : 10000;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const fs::path base = fs::temp_directory_path() / "kestrune-sources-bench";
    fs::remove_all(base);

    dbbuild::DatabaseBuilder builder;
    for (int i = 0; i < tracks; ++i)
        builder.AddTrack(dbbuild::MakeTrack(
            i + 1, {{1, "A track of some length " + std::to_string(i)},
                    {2, ":iPod_Control:Music:F" + Number(i % 50, 2) + ":T" + Number(i, 6) + ".mp3"},
                    {3, "Album " + std::to_string(i / 12)},
                    {4, "Artist " + std::to_string(i / 120)},
                    {5, "Rock"},
                    {6, "MPEG audio file"},
                    {8, "A comment"}}));
    const std::vector<std::uint8_t> plain = builder.Build();
    const fs::path plainPlayer = base / "plain", compressedPlayer = base / "compressed";
    Write(plainPlayer / "iPod_Control/iTunes/iTunesDB", plain);
    Write(compressedPlayer / "iPod_Control/iTunes/iTunesDB", {});
    const std::vector<std::uint8_t> compressed = dbbuild::CompressDatabase(plain);
    Write(compressedPlayer / "iPod_Control/iTunes/iTunesCDB", compressed);

    dbbuild::Tags tags{"A title", "An artist", "An album", "Rock", "", "", ""};
    const fs::path filesPlayer = base / "files";
    for (int i = 0; i < fileCount; ++i) {
        tags.title = "Title " + std::to_string(i);
        // Appended: GCC 12 at -O3 sees a false overlap in "T" + std::string (-Wrestrict).
        std::string folder = "F", name = "T";
        folder.append(Number(i % 50, 2));
        name.append(Number(i, 6)).append(".mp3");
        Write(filesPlayer / "iPod_Control/Music" / folder / name, dbbuild::Mp3WithTags(tags));
    }

    std::vector<double> plainMs, compressedMs, tagsMs, listMs;
    for (int round = 0; round < rounds; ++round) {
        for (const auto& [player, times] :
             {std::pair{plainPlayer, &plainMs}, std::pair{compressedPlayer, &compressedMs}}) {
            TiPod library;
            library.iPodPath = player.string();
            times->push_back(Ms([&] { library.LoadDatabase(); }));
            if (library.GetSongCount() != tracks) {
                std::fprintf(stderr, "sources_bench: %s did not load\n", player.c_str());
                return 1;
            }
        }
        TiPod library;
        library.iPodPath = filesPlayer.string();
        tagsMs.push_back(Ms([&] { library.LoadDatabase(); }));
        if (library.GetSongCount() != fileCount) {
            std::fprintf(stderr, "sources_bench: the files did not load\n");
            return 1;
        }
        listMs.push_back(Ms([&] {
            device::PlayerFiles files(filesPlayer.string());
            (void)device::ListMusicFiles(files);
        }));
    }
    std::printf("sources_bench: %d tracks, database %.1f MB, compressed %.1f MB; %d files\n",
                tracks, static_cast<double>(plain.size()) / 1e6,
                static_cast<double>(compressed.size()) / 1e6, fileCount);
    std::printf("  load, uncompressed database  %8.1f ms\n", Median(plainMs));
    std::printf("  load, compressed database    %8.1f ms  (%.2f of uncompressed)\n",
                Median(compressedMs), Median(compressedMs) / Median(plainMs));
    std::printf("  tracks from the files' tags  %8.1f ms  (%.1f us a file)\n", Median(tagsMs),
                1000 * Median(tagsMs) / fileCount);
    std::printf("  listing the files alone      %8.1f ms  (tags: %.1f times the listing)\n",
                Median(listMs), Median(tagsMs) / Median(listMs));
    fs::remove_all(base);
    return 0;
}
