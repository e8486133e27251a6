#pragma once

#include "core/device/DevicePath.h"
#include "core/device/TrackStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace device {

// A music file on the player, with its location as the database would write it.
struct MusicFile {
    std::string location; // ":iPod_Control:Music:F00:NAME.mp3", spelled as on the disk
    PlayerFiles::Found file;
};

// Every regular file one level below the player's music folders (iPod_Control/Music/F*, any
// letter case), links as the file lookup treats them, in folder and then name order.
std::vector<MusicFile> ListMusicFiles(PlayerFiles& files);

// What a music file says of itself.
struct FileTags {
    std::string title, artist, album, genre, comment, composer, grouping, albumArtist;
    std::string filetype; // as the database names the kind ("MPEG audio file", ...)
    TrackStore::Numbers numbers;
};

// The file's own tags (TagLib); a file without tags, or one TagLib cannot read, gets its name
// without extension as title and its kind from the extension.
FileTags ReadFileTags(const std::string& path, std::string_view fileName);

// Whether tags are read at all in this build (a build without TagLib names tracks by file).
bool ReadsFileTags();

} // namespace device
