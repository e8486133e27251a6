// The numbers and the album artist the reader takes from track items, checked against an
// independent reader and writer of the same databases (libgpod), on databases it writes and on
// the fixtures.

#include "core/device/TiPod.h"

#include "support/TempDir.h"

#include <gpod/itdb.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

const fs::path kFixtures = KESTRUNE_FIXTURES_DIR;

struct Freed {
    void operator()(Itdb_iTunesDB* itdb) const { itdb_free(itdb); }
};
using Database = std::unique_ptr<Itdb_iTunesDB, Freed>;

// Every track of the database as libgpod reads it, against the same track as ours.
void ExpectSameAsOracle(Itdb_iTunesDB* itdb, const TiPod& library) {
    ASSERT_EQ(static_cast<std::int32_t>(g_list_length(itdb->tracks)), library.GetSongCount());
    std::int32_t i = 0;
    for (GList* node = itdb->tracks; node != nullptr; node = node->next, ++i) {
        const auto* track = static_cast<const Itdb_Track*>(node->data);
        SCOPED_TRACE(track->title != nullptr ? track->title : "(no title)");
        const auto& ours = library.Numbers(i);
        EXPECT_EQ(ours.trackNumber, track->track_nr);
        EXPECT_EQ(ours.trackCount, track->tracks);
        EXPECT_EQ(ours.discNumber, track->cd_nr);
        EXPECT_EQ(ours.discCount, track->cds);
        EXPECT_EQ(ours.year, track->year);
        EXPECT_EQ(ours.durationMs, track->tracklen);
        EXPECT_EQ(library.AlbumArtist(i), track->albumartist != nullptr ? track->albumartist : "");
    }
    // The playlists but the master one, each member by its track's identifier.
    std::vector<std::pair<std::string, std::vector<std::int32_t>>> theirs, ours;
    for (GList* node = itdb->playlists; node != nullptr; node = node->next) {
        const auto* playlist = static_cast<const Itdb_Playlist*>(node->data);
        if (itdb_playlist_is_mpl(const_cast<Itdb_Playlist*>(playlist)))
            continue;
        auto& [name, ids] = theirs.emplace_back(playlist->name, std::vector<std::int32_t>());
        for (GList* member = playlist->members; member != nullptr; member = member->next)
            ids.push_back(static_cast<std::int32_t>(static_cast<Itdb_Track*>(member->data)->id));
    }
    for (const TPlaylist& playlist : library.Playlists()) {
        auto& [name, ids] = ours.emplace_back(playlist.name, std::vector<std::int32_t>());
        for (std::int32_t track : playlist.tracks)
            ids.push_back(library.TrackId(track));
    }
    EXPECT_EQ(ours, theirs);
}

} // namespace

TEST(GpodOracle, ReadsWhatAnotherWriterWrote) {
    testsupport::TempDir root;
    Database itdb(itdb_new());
    Itdb_Playlist* master = itdb_playlist_new("iPod", FALSE);
    itdb_playlist_set_mpl(master);
    itdb_playlist_add(itdb.get(), master, -1);
    struct Case {
        const char* title;
        const char* albumArtist;
        int track, tracks, disc, discs, year, length;
    };
    const Case cases[] = {
        {"First", "Various Artists", 1, 12, 1, 2, 1999, 215000},
        {"Second", "", 7, 0, 2, 2, 0, 3600000},
        {"Nothing else", nullptr, 0, 0, 0, 0, 2024, 1},
    };
    for (const Case& c : cases) {
        Itdb_Track* track = itdb_track_new();
        track->title = g_strdup(c.title);
        track->albumartist = c.albumArtist != nullptr ? g_strdup(c.albumArtist) : nullptr;
        track->ipod_path = g_strdup(":iPod_Control:Music:F00:A.mp3");
        track->track_nr = c.track, track->tracks = c.tracks;
        track->cd_nr = c.disc, track->cds = c.discs;
        track->year = c.year, track->tracklen = c.length;
        itdb_track_add(itdb.get(), track, -1);
        itdb_playlist_add_track(master, track, -1);
    }
    // A playlist in an order of its own, and one without members.
    Itdb_Playlist* favourites = itdb_playlist_new("Favourites ✓", FALSE);
    itdb_playlist_add(itdb.get(), favourites, -1);
    GList* tracks = itdb->tracks;
    itdb_playlist_add_track(favourites, static_cast<Itdb_Track*>(g_list_nth_data(tracks, 2)), -1);
    itdb_playlist_add_track(favourites, static_cast<Itdb_Track*>(g_list_nth_data(tracks, 0)), -1);
    itdb_playlist_add(itdb.get(), itdb_playlist_new("Empty", FALSE), -1);
    const fs::path file = root.path() / "iPod_Control" / "iTunes" / "iTunesDB";
    fs::create_directories(file.parent_path());
    GError* error = nullptr;
    ASSERT_TRUE(itdb_write_file(itdb.get(), file.c_str(), &error))
        << (error != nullptr ? error->message : "");

    TiPod library;
    library.iPodPath = root.str();
    ASSERT_EQ(library.LoadDatabase().outcome, TLoadReport::Outcome::Loaded);
    ExpectSameAsOracle(itdb.get(), library);
    EXPECT_EQ(library.Numbers(0).year, 1999); // not all zero by accident
    ASSERT_EQ(library.Playlists().size(), 2u);
    EXPECT_EQ(library.Playlists()[0].tracks, (std::vector<std::int32_t>{2, 0}));
}

TEST(GpodOracle, ReadsTheFixturesAsItDoes) {
    for (const char* name : {"small-2-tracks.itunesdb", "old-5375-tracks.itunesdb"}) {
        SCOPED_TRACE(name);
        testsupport::TempDir root;
        const fs::path file = root.path() / "iPod_Control" / "iTunes" / "iTunesDB";
        fs::create_directories(file.parent_path());
        fs::copy_file(kFixtures / "databases" / name, file);
        GError* error = nullptr;
        Database itdb(itdb_parse_file(file.c_str(), &error));
        ASSERT_TRUE(itdb) << (error != nullptr ? error->message : "");
        TiPod library;
        library.iPodPath = root.str();
        library.LoadDatabase();
        ExpectSameAsOracle(itdb.get(), library);
    }
}
