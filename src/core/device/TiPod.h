#pragma once

#include "core/device/Song.h"
#include "core/device/TrackListReader.h"
#include "core/device/TrackStore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace device {
class PlayerFiles;
}

// What became of one LoadDatabase call.
struct TLoadReport {
    // The state of the player's database (iTunesCDB, else iTunesDB).
    enum class Outcome {
        Loaded,     // every announced track was read
        Damaged,    // reading stopped early; the tracks before the damage were kept
        Missing,    // no database file
        Unreadable, // the file exists but could not be opened or read
    };
    // Where the tracks came from. With none (the database missing or unreadable, and no
    // shuffle database or music file in its place) the library was left as it was.
    enum class Source {
        None,
        Database,
        CompressedDatabase,
        ShuffleDatabase, // iTunesSD, the database being missing or unreadable
        Files,           // only the music files' own tags
    };
    Outcome outcome = Outcome::Missing;
    Source source = Source::None;
    std::string path;    // the database file, when found
    std::string message; // for Damaged and Unreadable
    std::int32_t announced = 0;
    std::int32_t read = 0;      // tracks in the library after the load, those from files too
    std::int32_t fromFiles = 0; // tracks read from music files no database entry names
    bool filesAsked = false;    // the files were read in place of any database
};

// A playlist of the player: its name and its tracks (library indices), in its order.
struct TPlaylist {
    std::string name;
    std::vector<std::int32_t> tracks;
};

// The tracks of one player and the queries over them. Main thread only.
class TiPod {
public:
    // The player's root: a drive letter and a colon on Windows, a folder on Linux; no trailing
    // separator. Set before each load.
    std::string iPodPath;

    // Reads the player's database and the sizes of its track files. A player whose database
    // is missing or unreadable is listed from its shuffle database, else from its music files'
    // own tags; a damaged database keeps its tracks and gains the files none of them names.
    // fromFiles: the files' tags alone, whatever database there is.
    TLoadReport LoadDatabase(bool fromFiles = false);

    std::int32_t GetSongCount() const { return SongCount; }
    // Precondition: 0 <= index < GetSongCount().
    void GetSong(std::int32_t index, TSong& song) const { song = store_.Song(index); }
    // The last track whose title equals key, ignoring case; song is left alone when none does.
    void FindSong(std::string_view key, TSong& song) const;
    // Index of that track, or -1.
    std::int32_t FindSongIndex(std::string_view key) const;

    // Sorted under the user's locale without duplicates (case aside); among spellings that
    // differ only in case, the one of the first track wins. Albums and artists leave out the
    // empty value; file types list it once, first.
    std::vector<std::string> GetAlbumList() const;
    std::vector<std::string> GetArtistList() const;
    std::vector<std::string> GetFileTypeList() const;

    // One text of one track, without a copy (for views over the whole library).
    std::string_view Field(std::int32_t index, SongField field) const {
        return store_.Field(index, field);
    }
    std::int32_t TrackId(std::int32_t index) const { return store_.TrackId(index); }
    // Beyond the table's fields: the album artist and the track's numbers.
    std::string_view AlbumArtist(std::int32_t index) const {
        return store_.Text(index, device::TrackStore::kAlbumArtist);
    }
    const device::TrackStore::Numbers& Numbers(std::int32_t index) const {
        return store_.NumbersOf(index);
    }

    // The database's playlists but the master one; a member whose track is not in the library
    // is left out.
    const std::vector<TPlaylist>& Playlists() const { return playlists_; }

    const device::DataSetTable& DataSets() const { return dataSets_; }
    std::size_t TextBytes() const { return store_.TextBytes(); }
    std::size_t MemoryBytes() const { return store_.MemoryBytes(); }

private:
    std::vector<std::string> SortedDistinct(SongField field, bool keepEmpty) const;

    device::TrackStore store_;
    std::int32_t SongCount = 0;
    device::DataSetTable dataSets_{};
    std::vector<TPlaylist> playlists_;
};

namespace device {

// The database file under a player's root ("iPod_Control/iTunes/itunesdb", any letter case):
// any entry there but a folder, inside the root.
std::optional<std::string> FindDatabaseFile(PlayerFiles& files);

// Fills the size text of every track from one listing per folder.
void ComputeSizeTexts(TrackStore& store, PlayerFiles& files, std::string_view decimalSeparator);

// Databases are a few megabytes; anything past this (read, or inflated) is not one.
inline constexpr std::uint64_t kMaxDatabaseBytes = 512ull * 1024 * 1024;
// A shuffle database of the most tracks a shuffle holds is a few megabytes.
inline constexpr std::uint64_t kMaxShuffleBytes = 64ull * 1024 * 1024;

} // namespace device
