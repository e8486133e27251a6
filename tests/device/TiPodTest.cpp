#include "core/device/TiPod.h"

#include "DatabaseBuilder.h"
#include "support/PlayerFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using dbbuild::DatabaseBuilder;
using dbbuild::MakeTrack;
using testsupport::TempDir;
using testsupport::WriteDatabase;
using testsupport::WriteFileOfSize;

namespace {

using Strings = std::vector<std::string>;

// A library loaded from a player folder built by the test.
class Library : public ::testing::Test {
protected:
    TLoadReport Load(DatabaseBuilder& builder, const std::string& dbName = "iTunesDB") {
        WriteDatabase(root.path(), builder.Build(), dbName);
        library.iPodPath = root.str();
        return library.LoadDatabase();
    }

    static dbbuild::Track Track(std::int32_t id, const std::string& title, const std::string& album,
                                const std::string& artist, const std::string& filetype) {
        return MakeTrack(id, {{1, title}, {3, album}, {4, artist}, {6, filetype}});
    }

    TempDir root;
    TiPod library;
};

} // namespace

TEST_F(Library, StartsEmpty) {
    EXPECT_EQ(library.GetSongCount(), 0);
    EXPECT_TRUE(library.GetAlbumList().empty());
    EXPECT_TRUE(library.GetArtistList().empty());
    EXPECT_TRUE(library.GetFileTypeList().empty());
    TSong song;
    song.Title = "untouched";
    library.FindSong("anything", song);
    EXPECT_EQ(song.Title, "untouched");
}

TEST_F(Library, ListsSortedDistinctValuesKeepingTheFirstSpelling) {
    DatabaseBuilder builder;
    builder.AddTrack(Track(1, "a", "Purple Rain", "prince", "MPEG audio file"));
    builder.AddTrack(Track(2, "b", "PURPLE RAIN", "Prince", ""));
    builder.AddTrack(Track(3, "c", "", "", "AAC audio file"));
    builder.AddTrack(Track(4, "d", "Abbey Road", "Beyonc\u00E9", "mpeg AUDIO file"));
    ASSERT_EQ(Load(builder).outcome, TLoadReport::Outcome::Loaded);

    EXPECT_EQ(library.GetAlbumList(), (Strings{"Abbey Road", "Purple Rain"}));
    EXPECT_EQ(library.GetArtistList(), (Strings{"Beyonc\u00E9", "prince"}));
    EXPECT_EQ(library.GetFileTypeList(), (Strings{"", "AAC audio file", "MPEG audio file"}));
}

TEST_F(Library, SortsByTheLocaleNotByCodeValues) {
    DatabaseBuilder builder;
    for (const char* artist : {"Zappa", "\u00C9dith Piaf", "eagles", "Fleetwood Mac", "Eagles",
                               "\u00E9dith piaf", "Edith"})
        builder.AddTrack(Track(1, "t", "", artist, ""));
    Load(builder);
    // Accents count (Edith and Édith are two entries), case does not.
    EXPECT_EQ(library.GetArtistList(),
              (Strings{"eagles", "Edith", "\u00C9dith Piaf", "Fleetwood Mac", "Zappa"}));
}

TEST_F(Library, FindSongTakesTheLastTitleWhateverTheCase) {
    DatabaseBuilder builder;
    builder.AddTrack(Track(1, "Intro", "First Album", "A", ""));
    builder.AddTrack(Track(2, "Other", "", "", ""));
    builder.AddTrack(Track(3, "INTRO", "Second Album", "B", ""));
    Load(builder);
    TSong song;
    library.FindSong("intro", song);
    EXPECT_EQ(song.TrackID, 3);
    EXPECT_EQ(song.Album, "Second Album");
    EXPECT_EQ(library.FindSongIndex("iNtRo"), 2);
    EXPECT_EQ(library.FindSongIndex("Outro"), -1);
    // Both tracks stay reachable by index: titles do not collapse.
    library.GetSong(0, song);
    EXPECT_EQ(song.Album, "First Album");
}

TEST_F(Library, ComputesSizeTextsFromTheTrackFiles) {
    DatabaseBuilder builder;
    builder.AddTrack(MakeTrack(1, {{1, "present"}, {2, ":iPod_Control:Music:F00:A.mp3"}}));
    builder.AddTrack(MakeTrack(2, {{1, "missing"}, {2, ":iPod_Control:Music:F00:B.mp3"}}));
    builder.AddTrack(MakeTrack(3, {{1, "empty"}, {2, ":iPod_Control:Music:F01:C.mp3"}}));
    builder.AddTrack(MakeTrack(4, {{1, "case"}, {2, ":iPod_Control:Music:f01:d.MP3"}}));
    builder.AddTrack(MakeTrack(5, {{1, "huge"}, {2, ":iPod_Control:Music:F01:E.m4v"}}));
    builder.AddTrack(MakeTrack(6, {{1, "no location"}}));
    WriteFileOfSize(root.path(), "iPod_Control/Music/F00/A.mp3", 5'000'000);
    WriteFileOfSize(root.path(), "iPod_Control/Music/F01/C.mp3", 0);
    WriteFileOfSize(root.path(), "iPod_Control/Music/F01/D.mp3", 1'572'864);
    WriteFileOfSize(root.path(), "iPod_Control/Music/F01/E.m4v", 3ull * 1024 * 1024 * 1024);
    Load(builder);

    ASSERT_EQ(library.GetSongCount(), 6);
    const Strings expected{"4.76MB", "", "0MB", "1.5MB", "3072MB", ""};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(library.Field(i, SongField::FileSize), expected[static_cast<std::size_t>(i)])
            << i;
}

TEST_F(Library, ALocationLeavingThePlayerHasNoFile) {
    TempDir outside;
    WriteFileOfSize(root.path(), "iPod_Control/Music/F00/ok.mp3", 10);
    DatabaseBuilder builder;
    builder.AddTrack(
        MakeTrack(1, {{1, "escape"}, {2, ":iPod_Control:..:iPod_Control:Music:F00:ok.mp3"}}));
    Load(builder);
    EXPECT_EQ(library.Field(0, SongField::FileSize), "");
}

TEST_F(Library, FindsTheDatabaseWhateverItsLetterCase) {
    DatabaseBuilder builder;
    builder.AddTrack(Track(1, "found", "", "", ""));
    const TLoadReport report = Load(builder, "ITUNESDB");
    EXPECT_EQ(report.outcome, TLoadReport::Outcome::Loaded);
    EXPECT_EQ(library.GetSongCount(), 1);
}

TEST_F(Library, AMissingDatabaseLeavesThePreviousTracks) {
    DatabaseBuilder builder;
    builder.AddTrack(Track(1, "kept", "", "", ""));
    Load(builder);
    TempDir other;
    library.iPodPath = other.str();
    EXPECT_EQ(library.LoadDatabase().outcome, TLoadReport::Outcome::Missing);
    ASSERT_EQ(library.GetSongCount(), 1);
    EXPECT_EQ(library.Field(0, SongField::Title), "kept");
}

TEST_F(Library, AnUnreadableDatabaseLeavesThePreviousTracksAndSaysWhy) {
    DatabaseBuilder builder;
    builder.AddTrack(Track(1, "kept", "", "", ""));
    Load(builder);
    TempDir other;
    WriteFileOfSize(other.path(), "iPod_Control/iTunes/iTunesDB", device::kMaxDatabaseBytes + 1);
    library.iPodPath = other.str();
    const TLoadReport report = library.LoadDatabase();
    EXPECT_EQ(report.outcome, TLoadReport::Outcome::Unreadable);
    EXPECT_EQ(report.message.rfind("Cannot open file ", 0), 0u) << report.message;
    EXPECT_EQ(library.GetSongCount(), 1);
}

TEST_F(Library, ADamagedDatabaseReplacesTheLibraryWithWhatCouldBeRead) {
    DatabaseBuilder first;
    for (int i = 0; i < 5; ++i)
        first.AddTrack(Track(i, "old " + std::to_string(i), "", "", ""));
    Load(first);

    DatabaseBuilder second;
    for (int i = 0; i < 4; ++i)
        second.AddTrack(Track(100 + i, "new " + std::to_string(i), "", "", ""));
    dbbuild::Layout layout;
    auto image = second.Build(&layout);
    dbbuild::PutU32(image, layout.tracks[2] + 8, 3); // third record impossibly short
    WriteDatabase(root.path(), image);
    const TLoadReport report = library.LoadDatabase();

    EXPECT_EQ(report.outcome, TLoadReport::Outcome::Damaged);
    EXPECT_EQ(report.announced, 4);
    EXPECT_EQ(report.read, 2);
    ASSERT_EQ(library.GetSongCount(), 2);
    EXPECT_EQ(library.Field(1, SongField::Title), "new 1");
    EXPECT_EQ(library.DataSets()[0].Offset, static_cast<std::int32_t>(layout.trackListSet));
}

#ifndef _WIN32
TEST_F(Library, ADatabaseThatIsAPipeIsRefusedWithoutWaitingForAWriter) {
    std::filesystem::create_directories(root.path() / "iPod_Control/iTunes");
    const std::string fifo = (root.path() / "iPod_Control/iTunes/iTunesDB").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    library.iPodPath = root.str();
    auto load = std::async(std::launch::async, [&] { return library.LoadDatabase(); });
    if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Give the blocked open its writer so the test can end, then fail.
        ::close(::open(fifo.c_str(), O_WRONLY));
        load.wait();
        FAIL() << "the load waited for a writer of the pipe";
    }
    const TLoadReport report = load.get();
    EXPECT_EQ(report.outcome, TLoadReport::Outcome::Unreadable);
    EXPECT_NE(report.message.find("not a regular file"), std::string::npos) << report.message;
}
#endif
