// Writes the fuzzer's seed corpus into a folder: small databases of every shape the reader
// knows, and the small fixture databases.

#include "DatabaseBuilder.h"
#include "PlayerFiles.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

dbbuild::Track RichTrack(std::int32_t id) {
    dbbuild::Track track = dbbuild::MakeTrack(id, {{1, "Title \u00E9\u5742"},
                                                   {2, ":iPod_Control:Music:F00:A.mp3"},
                                                   {3, "Album"},
                                                   {4, "Artist"},
                                                   {5, "Genre"},
                                                   {6, "MPEG audio file"},
                                                   {7, "EQ"},
                                                   {8, "Comment"},
                                                   {12, "Composer"},
                                                   {13, "Grouping"},
                                                   {1, "UTF-8 title", 2}});
    const std::string url = "http://example.invalid/feed";
    track.items.push_back(dbbuild::RawItem{15, {url.begin(), url.end()}});
    track.items.push_back(dbbuild::RawItem{17, std::vector<std::uint8_t>(64, 1)});
    track.items.push_back(dbbuild::MakeRawStringItem(3, std::string("\x3C\xD8X", 3)));
    return track;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: make_fuzz_seeds OUTPUT_FOLDER [FIXTURES_FOLDER]\n";
        return 1;
    }
    const fs::path out = argv[1];
    fs::create_directories(out);

    Write(out / "empty-list", dbbuild::DatabaseBuilder().Build());
    dbbuild::DatabaseBuilder rich;
    for (int i = 0; i < 3; ++i)
        rich.AddTrack(RichTrack(i));
    Write(out / "rich", rich.Build());
    dbbuild::DatabaseBuilder old;
    old.ClearDataSets().SetFileHeaderLength(dbbuild::kOldFileHeaderLength);
    old.SetTrackHeaderLength(dbbuild::kOldTrackHeaderLength);
    old.AddTrack(dbbuild::MakeTrack(1, {{1, "Old"}, {2, ":a:b"}}));
    old.AddDataSet(2, 16, false);
    Write(out / "old", old.Build());
    dbbuild::DatabaseBuilder many;
    for (int type : {4, 5, 6, 8, 10})
        many.AddDataSet(type, 8, true);
    many.AddTrack(dbbuild::MakeTrack(9, {{1, "Late track list"}}));
    Write(out / "many-sets", many.Build());
    Write(out / "compressed", dbbuild::CompressDatabase(rich.Build()));
    const std::vector<std::string> paths{"/iPod_Control/Music/F00/A.mp3",
                                         "/iPod_Control/Music/F01/B.m4a"};
    Write(out / "shuffle-old", dbbuild::BuildOldShuffleDatabase(paths));
    Write(out / "shuffle", dbbuild::BuildShuffleDatabase(paths));

    if (argc > 2) {
        const fs::path fixtures = argv[2];
        const fs::path candidates[] = {fixtures / "databases/small-2-tracks.itunesdb",
                                       fixtures /
                                           "players/generated-40/iPod_Control/iTunes/iTunesDB"};
        for (const auto& candidate : candidates)
            if (fs::exists(candidate))
                fs::copy_file(candidate, out / candidate.filename().concat(".seed"),
                              fs::copy_options::overwrite_existing);
    }
    return 0;
}
