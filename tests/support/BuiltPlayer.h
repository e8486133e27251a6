#pragma once

#include "DatabaseBuilder.h"
#include "support/PlayerFolder.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// One track of a player built by a test: its file below iPod_Control/Music/F00, with this size
// (no file when negative).
struct TrackSpec {
    std::string title;
    std::string artist;
    std::string file;
    std::int64_t bytes = 1000;
};

// A player folder at root with these tracks, in this order, their ids counted from 1.
inline std::string BuildPlayer(const std::filesystem::path& root,
                               const std::vector<TrackSpec>& tracks,
                               const std::vector<dbbuild::Playlist>& playlists = {}) {
    dbbuild::DatabaseBuilder builder;
    std::int32_t id = 1;
    for (const TrackSpec& track : tracks) {
        builder.AddTrack(dbbuild::MakeTrack(id++, {{1, track.title},
                                                   {2, ":iPod_Control:Music:F00:" + track.file},
                                                   {4, track.artist},
                                                   {6, "MPEG audio file"}}));
        if (track.bytes >= 0)
            WriteFileOfSize(root, "iPod_Control/Music/F00/" + track.file,
                            static_cast<std::uint64_t>(track.bytes));
    }
    for (const dbbuild::Playlist& playlist : playlists)
        builder.AddPlaylist(playlist);
    WriteDatabase(root, builder.Build());
    return root.string();
}

} // namespace testsupport
