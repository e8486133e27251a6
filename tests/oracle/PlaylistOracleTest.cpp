// The playlists a copy writes, read back by a real player's playlist parser (totem-pl-parser,
// the one GNOME's players use): every copied member, in the playlist's order.

#include "core/copy/CopyThread.h"
#include "core/copy/PlaylistFile.h"
#include "core/device/TiPod.h"

#include "support/PlayerFolder.h"
#include "support/TempDir.h"

#include <gpod/itdb.h>
#include <gtest/gtest.h>
#include <totem-pl-parser.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct Quiet final : TCopyMessages {
    void CMProgressPosition(int) override {}
    void CMProgressMax(int) override {}
    void CMProgressFinish(int) override {}
    void CMProgressText(const std::string&) override {}
};

std::vector<std::pair<std::string, std::string>> Parsed(const fs::path& file) {
    std::vector<std::pair<std::string, std::string>> entries;
    TotemPlParser* parser = totem_pl_parser_new();
    g_signal_connect(
        parser, "entry-parsed",
        G_CALLBACK(+[](TotemPlParser*, const char* uri, GHashTable* metadata, gpointer into) {
            const auto* title = static_cast<const char*>(
                g_hash_table_lookup(metadata, TOTEM_PL_PARSER_FIELD_TITLE));
            static_cast<decltype(entries)*>(into)->emplace_back(uri, title != nullptr ? title : "");
        }),
        &entries);
    const std::string uri = "file://" + file.string();
    EXPECT_EQ(totem_pl_parser_parse(parser, uri.c_str(), FALSE), TOTEM_PL_PARSER_RESULT_SUCCESS);
    g_object_unref(parser);
    return entries;
}

} // namespace

TEST(PlaylistOracle, APlayersParserListsTheCopiedFilesInOrder) {
    testsupport::TempDir root, target;
    Itdb_iTunesDB* itdb = itdb_new();
    Itdb_Playlist* master = itdb_playlist_new("iPod", FALSE);
    itdb_playlist_set_mpl(master);
    itdb_playlist_add(itdb, master, -1);
    Itdb_Playlist* road = itdb_playlist_new("Road trip", FALSE);
    itdb_playlist_add(itdb, road, -1);
    const char* titles[] = {"Ünder Pressure", "Go", "Gone"};
    for (int i = 0; i < 3; ++i) {
        Itdb_Track* track = itdb_track_new();
        track->title = g_strdup(titles[i]);
        track->artist = g_strdup("Band");
        track->tracklen = 61500;
        // Appended: GCC 12 at -O3 sees a false overlap in "T" + std::string (-Wrestrict).
        std::string file = "T";
        file.append(std::to_string(i)).append(".mp3");
        track->ipod_path = g_strdup((":iPod_Control:Music:F00:" + file).c_str());
        if (i < 2) // the last track's file is missing: it is not copied, nor listed
            testsupport::WriteFileOfSize(root.path(), "iPod_Control/Music/F00/" + file, 100);
        itdb_track_add(itdb, track, -1);
        itdb_playlist_add_track(master, track, -1);
    }
    for (int i : {2, 1, 0}) // an order of its own
        itdb_playlist_add_track(road, static_cast<Itdb_Track*>(g_list_nth_data(itdb->tracks, i)),
                                -1);
    const fs::path db = root.path() / "iPod_Control" / "iTunes" / "iTunesDB";
    fs::create_directories(db.parent_path());
    ASSERT_TRUE(itdb_write_file(itdb, db.c_str(), nullptr));
    itdb_free(itdb);

    TiPod library;
    library.iPodPath = root.str();
    ASSERT_EQ(library.LoadDatabase().outcome, TLoadReport::Outcome::Loaded);
    const copy::TCopyRequest job =
        copy::PlanJob(library, {0, 1, 2}, target.str(), false, "{artist}/{title}");
    Quiet quiet;
    TCopyThread worker(quiet);
    ASSERT_TRUE(worker.Start(job).ok());
    worker.Join();
    const auto written = copy::WritePlaylists(library, job, worker.Result());
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].path, (target.path() / "Road trip.m3u8").string());
    EXPECT_EQ(written[0].entries, 2u);

    const auto entries = Parsed(written[0].path);
    ASSERT_EQ(entries.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
        const std::size_t track = 1 - k; // Go, then Ünder Pressure
        char* path = g_filename_from_uri(entries[k].first.c_str(), nullptr, nullptr);
        ASSERT_NE(path, nullptr) << entries[k].first;
        EXPECT_EQ(fs::path(path), fs::path(worker.Result().entries[track].path));
        g_free(path);
        EXPECT_EQ(entries[k].second, std::string("Band - ") + titles[track]);
    }
}
