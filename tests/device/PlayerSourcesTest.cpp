// Players without a plain database: compressed databases, shuffle databases, and players whose
// music files are all that is left. The databases and files are written by the project's own
// builders, the tags byte by byte, so what the reader finds is checked against what was written.

#include "core/device/CompressedDatabase.h"
#include "core/device/ShuffleDatabase.h"
#include "core/device/TiPod.h"

#include "DatabaseBuilder.h"
#include "PlayerFiles.h"
#include "support/PlayerFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using Source = TLoadReport::Source;
using Outcome = TLoadReport::Outcome;
using Strings = std::vector<std::string>;

namespace {

std::vector<std::uint8_t> ThreeTracks() {
    dbbuild::DatabaseBuilder builder;
    for (int i = 0; i < 3; ++i)
        builder.AddTrack(dbbuild::MakeTrack(
            i + 1, {{1, "Track " + std::to_string(i)},
                    {2, ":iPod_Control:Music:F00:T" + std::to_string(i) + ".mp3"}}));
    return builder.Build();
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class Player : public ::testing::Test {
protected:
    fs::path Itunes() const { return root_.path() / "iPod_Control" / "iTunes"; }
    fs::path Music(const std::string& relative) const {
        // As UTF-8 on every system.
        return root_.path() / "iPod_Control" / "Music" /
               fs::path(std::u8string(relative.begin(), relative.end()));
    }
    TLoadReport Load(bool fromFiles = false) {
        library_.iPodPath = root_.str();
        return library_.LoadDatabase(fromFiles);
    }
    Strings Column(SongField field) const {
        Strings values;
        for (std::int32_t i = 0; i < library_.GetSongCount(); ++i)
            values.emplace_back(library_.Field(i, field));
        return values;
    }

    testsupport::TempDir root_;
    TiPod library_;
};

} // namespace

TEST_F(Player, ReadsTheCompressedDatabaseInPlaceOfTheEmptyOne) {
    const auto plain = ThreeTracks();
    const auto compressed = dbbuild::CompressDatabase(plain);
    std::vector<std::uint8_t> cut(compressed.begin(), compressed.end() - 20);
    std::vector<std::uint8_t> corrupt = compressed;
    corrupt[dbbuild::kFileHeaderLength + 10] ^= 0xFF;
    struct Case {
        const char* kind;
        std::vector<std::uint8_t> cdb;
        Outcome outcome;
        Source source;
        std::int32_t tracks;
        const char* problem;
    };
    const Case cases[] = {
        {"whole", compressed, Outcome::Loaded, Source::CompressedDatabase, 3, ""},
        {"cut", cut, Outcome::Damaged, Source::CompressedDatabase, 0, "ends in the middle"},
        {"corrupt", corrupt, Outcome::Damaged, Source::CompressedDatabase, 0, "corrupt"},
        // An empty one is none: the other database is read.
        {"empty", {}, Outcome::Loaded, Source::Database, 1, ""},
    };
    dbbuild::DatabaseBuilder one;
    one.AddTrack(dbbuild::MakeTrack(9, {{1, "Plain"}}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        testsupport::WriteDatabase(root_.path(), one.Build());
        testsupport::WriteDatabase(root_.path(), c.cdb, "iTunesCDB");
        const TLoadReport report = Load();
        EXPECT_EQ(report.outcome, c.outcome);
        EXPECT_EQ(report.source, c.source);
        EXPECT_EQ(library_.GetSongCount(), c.tracks);
        EXPECT_NE(report.message.find(c.problem), std::string::npos) << report.message;
        EXPECT_EQ(fs::path(report.path).filename(), c.cdb.empty() ? "iTunesDB" : "iTunesCDB");
    }
    EXPECT_EQ(Column(SongField::Title), Strings{"Plain"});
}

TEST(CompressedDatabase, NeverInflatesPastItsBound) {
    // Megabytes of one byte compress to almost nothing.
    std::vector<std::uint8_t> huge = ThreeTracks();
    huge.resize(huge.size() + (8u << 20), 0);
    const auto bomb = dbbuild::CompressDatabase(huge);
    ASSERT_LT(bomb.size(), 64u * 1024);
    const auto inflated = device::InflateDatabase(bomb, 1u << 20);
    ASSERT_FALSE(inflated.ok());
    EXPECT_NE(inflated.message().find("inflates past"), std::string::npos);
    EXPECT_EQ(device::InflateDatabase(bomb, 16u << 20)->size(), huge.size());
}

TEST(ShuffleDatabase, ReadsBothLayoutsAndStopsAtTheDamage) {
    const Strings paths{"/iPod_Control/Music/F00/A.mp3", "/iPod_Control/Music/F01/Süß.m4a"};
    const Strings locations{":iPod_Control:Music:F00:A.mp3", ":iPod_Control:Music:F01:Süß.m4a"};
    for (const auto& image :
         {dbbuild::BuildOldShuffleDatabase(paths), dbbuild::BuildShuffleDatabase(paths)}) {
        const device::ShuffleParse whole = device::ParseShuffleDatabase(image);
        EXPECT_TRUE(whole.recognised && whole.complete);
        EXPECT_EQ(whole.locations, locations);
        // Cut inside the second track's path.
        const std::size_t cut = image.size() - (image.front() == 'b' ? 32 + 300 : 400);
        const device::ShuffleParse damaged =
            device::ParseShuffleDatabase(std::span(image).first(cut));
        EXPECT_FALSE(damaged.complete);
        EXPECT_EQ(damaged.locations, Strings{locations.front()});
        EXPECT_FALSE(damaged.problem.empty());
    }
    EXPECT_FALSE(device::ParseShuffleDatabase(ThreeTracks()).recognised);
}

// What the files say of themselves, for each common kind; and a shuffle's tracks get their
// titles from the same tags.
TEST_F(Player, WithoutADatabaseTheTracksComeFromTheFilesOwnTags) {
    const dbbuild::Tags tags{"Título", "Artist", "Album", "Genre", "Comment", "Composer", "Group"};
    WriteBytes(Music("F00/AAAA.mp3"), dbbuild::Mp3WithTags(tags));
    dbbuild::Tags m4a;
    m4a.title = "M4A title";
    m4a.artist = "M4A artist";
    WriteBytes(Music("F00/BBBB.m4a"), dbbuild::M4aWithTags(m4a));
    WriteBytes(Music("f01/Süße Lied.wav"), dbbuild::WavWithoutTags());
    WriteBytes(Music("Other/CCCC.mp3"), dbbuild::Mp3WithTags(tags)); // not a music folder
    TLoadReport report = Load();
    EXPECT_EQ(report.source, Source::Files);
    EXPECT_EQ(report.outcome, Outcome::Missing);
    EXPECT_EQ(report.fromFiles, 3);
    EXPECT_EQ(Column(SongField::Location),
              (Strings{":iPod_Control:Music:F00:AAAA.mp3", ":iPod_Control:Music:F00:BBBB.m4a",
                       ":iPod_Control:Music:f01:Süße Lied.wav"}));
    EXPECT_EQ(Column(SongField::Title), (Strings{"Título", "M4A title", "Süße Lied"}));
    EXPECT_EQ(Column(SongField::Artist), (Strings{"Artist", "M4A artist", ""}));
    EXPECT_EQ(Column(SongField::Filetype),
              (Strings{"MPEG audio file", "AAC audio file", "WAV audio file"}));
    TSong first;
    library_.GetSong(0, first);
    EXPECT_EQ(Strings({first.Album, first.Genre, first.Comment, first.Composer, first.Grouping}),
              (Strings{"Album", "Genre", "Comment", "Composer", "Group"}));
    EXPECT_FALSE(first.FileSize.empty());

    WriteBytes(Itunes() / "iTunesSD",
               dbbuild::BuildShuffleDatabase(
                   {"/iPod_Control/Music/F00/BBBB.m4a", "/iPod_Control/Music/F00/GONE.mp3"}));
    report = Load();
    EXPECT_EQ(report.source, Source::ShuffleDatabase);
    EXPECT_EQ(Column(SongField::Title), (Strings{"M4A title", "GONE"}));
    // Asked for, the files are read whatever database there is.
    EXPECT_EQ(Load(true).source, Source::Files);
    EXPECT_EQ(library_.GetSongCount(), 3);
}

TEST_F(Player, ADatabaseCutInTheMiddleKeepsItsTracksAndGainsTheFilesNoneNames) {
    dbbuild::Layout layout;
    dbbuild::DatabaseBuilder builder;
    for (int i = 0; i < 3; ++i)
        builder.AddTrack(dbbuild::MakeTrack(
            i + 1, {{1, "Db " + std::to_string(i)},
                    {2, ":iPod_Control:Music:F00:T" + std::to_string(i) + ".MP3"}}));
    auto image = builder.Build(&layout);
    image.resize(layout.tracks[2] + 10);
    testsupport::WriteDatabase(root_.path(), image);
    for (const char* name : {"t0.mp3", "T2.MP3", "Z.mp3"})
        WriteBytes(Music(std::string("F00/") + name), dbbuild::Mp3WithTags({}));
    const TLoadReport report = Load();
    EXPECT_EQ(report.outcome, Outcome::Damaged);
    EXPECT_EQ(report.source, Source::Database);
    EXPECT_EQ(report.read, 2);
    EXPECT_EQ(report.fromFiles, 2); // T2 and Z: t0 is named by the first track, case aside
    EXPECT_EQ(Column(SongField::Title), (Strings{"Db 0", "Db 1", "T2", "Z"}));
}
