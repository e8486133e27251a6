#include "core/library/Listing.h"

#include "DatabaseBuilder.h"
#include "core/device/TiPod.h"
#include "support/PlayerFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using browser::ListingStatus;
using browser::ListTracks;
using Rows = std::vector<std::int32_t>;

namespace {

class Listing : public ::testing::Test {
protected:
    void SetUp() override {
        dbbuild::DatabaseBuilder builder;
        auto add = [&](const char* title, const char* album, const char* artist, const char* type,
                       const char* composer = "", const char* comment = "",
                       const char* genre = "") {
            builder.AddTrack(dbbuild::MakeTrack(0, {{1, title},
                                                    {3, album},
                                                    {4, artist},
                                                    {6, type},
                                                    {12, composer},
                                                    {8, comment},
                                                    {5, genre}}));
        };
        add("Love Me Do", "A", "Beatles", "MPEG audio file");         // 0
        add("Love", "Me", "Other", "");                               // 1
        add("Stove", "b", "beatles", "WAV audio file");               // 2
        add("Quiet", "C", "\u00C9lan", "mpeg AUDIO file", "Lovejoy"); // 3
        add("Rest", "a", "Elan", "", "", "", "Love Me");              // 4 (genre only)
        add("Note", "", "", "", "", "Me and Love");                   // 5
        testsupport::WriteDatabase(root.path(), builder.Build());
        library.iPodPath = root.str();
        library.LoadDatabase();
    }

    testsupport::TempDir root;
    TiPod library;
};

} // namespace

TEST_F(Listing, AllListsEveryTrackInLibraryOrder) {
    EXPECT_EQ(ListTracks(library, TDisplayMode::dmAll, {}), (Rows{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(ListTracks(library, TDisplayMode::dmEmpty, {}), Rows{});
}

TEST_F(Listing, CategoriesMatchAnyNameIgnoringCaseButNotAccents) {
    EXPECT_EQ(ListTracks(library, TDisplayMode::dmAlbums, {"B", "a"}), (Rows{0, 2, 4}));
    EXPECT_EQ(ListTracks(library, TDisplayMode::dmArtists, {"BEATLES"}), (Rows{0, 2}));
    EXPECT_EQ(ListTracks(library, TDisplayMode::dmArtists, {"elan"}), (Rows{4}));
    EXPECT_EQ(ListTracks(library, TDisplayMode::dmFileTypes, {""}), (Rows{1, 4, 5}));
    EXPECT_EQ(ListTracks(library, TDisplayMode::dmFileTypes, {"MPEG Audio File"}), (Rows{0, 3}));
    EXPECT_EQ(ListTracks(library, TDisplayMode::dmAlbums, {"Z"}), Rows{});
}

TEST_F(Listing, SearchNeedsAllWordsInOneOfFiveFields) {
    // Title, album, artist, composer, comment; never genre; words must share one field.
    EXPECT_EQ(ListTracks(library, TDisplayMode::dmSearch, {"Love Me"}), (Rows{0, 5}));
    EXPECT_EQ(ListTracks(library, TDisplayMode::dmSearch, {"Love"}), (Rows{0, 1, 3, 5}));
    EXPECT_EQ(ListTracks(library, TDisplayMode::dmSearch, {"ove"}), (Rows{0, 1, 2, 3, 5}));
}

TEST(PlaylistListing, ChosenPlaylistsInTheirOrderEachTrackOnce) {
    dbbuild::DatabaseBuilder builder;
    for (std::int32_t id : {10, 20, 30, 40}) {
        // Appended, not "t" + ...: GCC 12 at -O3 sees a false overlap in that insert.
        std::string title = "t";
        title += std::to_string(id);
        builder.AddTrack(dbbuild::MakeTrack(id, {{1, title}}));
    }
    builder.AddPlaylist({"Mix", {30, 10, 30, 20}}).AddPlaylist({"Other", {40, 10}});
    testsupport::TempDir root;
    testsupport::WriteDatabase(root.path(), builder.Build());
    TiPod library;
    library.iPodPath = root.str();
    library.LoadDatabase();
    EXPECT_EQ(ListTracks(library, TDisplayMode::dmPlaylists, {"mix"}), (Rows{2, 0, 1}));
    EXPECT_EQ(ListTracks(library, TDisplayMode::dmPlaylists, {"Other", "Mix"}), (Rows{2, 0, 1, 3}));
    EXPECT_EQ(ListTracks(library, TDisplayMode::dmPlaylists, {"Library"}), Rows{}); // the master
}

TEST(ListingStatus, WritesEachModesText) {
    EXPECT_EQ(ListingStatus(TDisplayMode::dmAll, {}, 1200), "1200 Files found in your iPod.");
    EXPECT_EQ(ListingStatus(TDisplayMode::dmAlbums, {"A", "B"}, 3), "Files in album A,B");
    EXPECT_EQ(ListingStatus(TDisplayMode::dmArtists, {"X"}, 3), "Files by artist X");
    EXPECT_EQ(ListingStatus(TDisplayMode::dmFileTypes, {"X", "Y"}, 3), "X Files");
    EXPECT_EQ(ListingStatus(TDisplayMode::dmPlaylists, {"P", "Q"}, 3), "Files in playlist P,Q");
    EXPECT_FALSE(ListingStatus(TDisplayMode::dmSearch, {"x"}, 3));
    EXPECT_FALSE(ListingStatus(TDisplayMode::dmEmpty, {}, 3));
    EXPECT_FALSE(ListingStatus(TDisplayMode::dmAll, {}, 0)); // an empty library says nothing
}

TEST(StatusText, CutsAfterFortySixCharacters) {
    const std::string exactly46(46, 'x');
    EXPECT_EQ(browser::CutStatusText(exactly46), exactly46);
    EXPECT_EQ(browser::CutStatusText(exactly46 + "y"), exactly46 + "...");
    // Characters, not bytes: a cut never splits one.
    const std::string accented = std::string(45, 'x') + "\u00E9\u00E9";
    EXPECT_EQ(browser::CutStatusText(accented), std::string(45, 'x') + "\u00E9...");
}

TEST(StatusText, CountsSelectedFiles) {
    EXPECT_EQ(browser::SelectionCountText(0), "0 file Selected");
    EXPECT_EQ(browser::SelectionCountText(1), "1 file Selected");
    EXPECT_EQ(browser::SelectionCountText(2), "2 files Selected");
}
