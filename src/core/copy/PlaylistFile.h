#pragma once

#include "core/copy/CopyJob.h"

#include <string>
#include <vector>

class TiPod;
struct TPlaylist;

namespace copy {

struct WrittenPlaylist {
    std::string path;        // the file written; empty when it could not be
    std::size_t entries = 0; // the members it lists
    std::string failure;     // why it could not be written
};

// The text of one playlist file: "#EXTM3U", then for every member the job copied (or found
// copied already), in the playlist's order, "#EXTINF:SECONDS,ARTIST - TITLE" and the copy's
// path relative to the target folder, with "/" between its parts.
std::string PlaylistText(const TiPod& library, const TPlaylist& playlist, const TCopyRequest& job,
                         const TCopyResult& result, std::size_t* entries = nullptr);

// One NAME.m3u8 (UTF-8) per playlist of the library in the job's target folder, the name
// through the file-name rule. A file of that name from before with other contents is kept: the
// playlist takes the next numbered name (one with the same contents is left as it is).
std::vector<WrittenPlaylist> WritePlaylists(const TiPod& library, const TCopyRequest& job,
                                            const TCopyResult& result);

} // namespace copy
