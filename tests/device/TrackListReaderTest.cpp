#include "core/device/TrackListReader.h"

#include "DatabaseBuilder.h"

#include <gtest/gtest.h>

#include <random>

using dbbuild::DatabaseBuilder;
using dbbuild::MakeTrack;
using dbbuild::PutU32;
using device::ParseDatabase;
using device::TrackStore;

namespace {

struct Parsed {
    device::ParseOutcome outcome;
    TrackStore store;
    device::DataSetTable dataSets{};
};

Parsed Parse(const std::vector<std::uint8_t>& image) {
    Parsed parsed;
    parsed.outcome = ParseDatabase(image, parsed.store, parsed.dataSets);
    return parsed;
}

std::string Title(const Parsed& parsed, int index) {
    return std::string(parsed.store.Text(index, TrackStore::kTitle));
}

DatabaseBuilder ThreeTracks() {
    DatabaseBuilder builder;
    builder.AddTrack(MakeTrack(10, {{1, "One"}, {2, ":iPod_Control:Music:F00:A.mp3"}, {4, "Ann"}}));
    builder.AddTrack(MakeTrack(11, {{1, "Two"}, {3, "Album"}, {5, "Rock"}}));
    builder.AddTrack(MakeTrack(12, {{1, "Three"}, {6, "MPEG audio file"}}));
    return builder;
}

} // namespace

TEST(DatabaseParsing, ReadsEveryFieldFromItsItemType) {
    DatabaseBuilder builder;
    builder.AddTrack(MakeTrack(77, {{1, "Title"},
                                    {2, ":Loc"},
                                    {3, "Album"},
                                    {4, "Artist"},
                                    {5, "Genre"},
                                    {6, "Type"},
                                    {7, "EQ"},
                                    {8, "Comment"},
                                    {12, "Composer"},
                                    {13, "Grouping"}}));
    const Parsed parsed = Parse(builder.Build());
    ASSERT_TRUE(parsed.outcome.complete) << parsed.outcome.problem;
    const TSong song = parsed.store.Song(0);
    EXPECT_EQ(song.Title, "Title");
    EXPECT_EQ(song.Location, ":Loc");
    EXPECT_EQ(song.Album, "Album");
    EXPECT_EQ(song.Artist, "Artist");
    EXPECT_EQ(song.Genre, "Genre");
    EXPECT_EQ(song.Filetype, "Type");
    EXPECT_EQ(song.EQSetting, "EQ");    // type 7
    EXPECT_EQ(song.Comment, "Comment"); // type 8
    EXPECT_EQ(song.Composer, "Composer");
    EXPECT_EQ(song.Grouping, "Grouping");
    EXPECT_EQ(song.TrackID, 77);
}

TEST(DatabaseParsing, FindsTheTrackListAmongManyDataSets) {
    DatabaseBuilder builder = ThreeTracks();
    builder.ClearDataSets();
    for (int type : {4, 5, 6, 8})
        builder.AddDataSet(type, 40, true);
    for (int type : {3, 2, 10, 9, 50})
        builder.AddDataSet(type, 12, false);
    dbbuild::Layout layout;
    const Parsed parsed = Parse(builder.Build(&layout));
    ASSERT_TRUE(parsed.outcome.complete) << parsed.outcome.problem;
    EXPECT_EQ(parsed.store.Count(), 3);
    EXPECT_EQ(Title(parsed, 2), "Three");
    EXPECT_EQ(parsed.dataSets[0].Offset, static_cast<std::int32_t>(layout.trackListSet));
}

TEST(DatabaseParsing, PassesOverItemsThatAreNotStrings) {
    // Podcast addresses and chapter data have no text length at offset 28: their bytes there
    // are arbitrary, and only their own total length says where the next item begins.
    const std::string url = "http://example.invalid/a-rather-long-feed-address.rss";
    dbbuild::Track track{5, {}};
    track.items.push_back(dbbuild::StringItem{1, "Before"});
    for (int type : {15, 16, 17, 32, 50, 100, 9, 10, 11, 14, 22})
        track.items.push_back(
            dbbuild::RawItem{type, std::vector<std::uint8_t>(url.begin(), url.end())});
    track.items.push_back(dbbuild::StringItem{4, "After"});
    DatabaseBuilder builder;
    builder.AddTrack(track);
    builder.AddTrack(MakeTrack(6, {{1, "Next track"}}));
    const Parsed parsed = Parse(builder.Build());
    ASSERT_TRUE(parsed.outcome.complete) << parsed.outcome.problem;
    EXPECT_EQ(Title(parsed, 0), "Before");
    EXPECT_EQ(parsed.store.Text(0, TrackStore::kArtist), "After");
    EXPECT_EQ(Title(parsed, 1), "Next track");
    EXPECT_EQ(parsed.store.TrackId(1), 6);
}

TEST(DatabaseParsing, KeepsTheLastOfTwoItemsOfOneTypeAndEmptyForMissingOnes) {
    DatabaseBuilder builder;
    builder.AddTrack(MakeTrack(1, {{1, "First"}, {1, "Second"}, {3, ""}}));
    const Parsed parsed = Parse(builder.Build());
    ASSERT_TRUE(parsed.outcome.complete);
    EXPECT_EQ(Title(parsed, 0), "Second");
    EXPECT_EQ(parsed.store.Text(0, TrackStore::kAlbum), ""); // B = 0
    EXPECT_EQ(parsed.store.Text(0, TrackStore::kGenre), ""); // no item at all
}

TEST(DatabaseParsing, ReadsUtf8ItemsAndRepairsBadText) {
    DatabaseBuilder builder;
    builder.AddTrack(MakeTrack(1, {{1, "Sigur R\xC3\xB3s", 2}, {4, "Bj\xC3\xB6rk", 1}}));
    dbbuild::Track odd{2, {}};
    odd.items.push_back(dbbuild::MakeRawStringItem(1, std::string("\x3C\xD8", 2)));  // lone high
    odd.items.push_back(dbbuild::MakeRawStringItem(4, std::string("ab\xFF", 3), 2)); // bad UTF-8
    odd.items.push_back(dbbuild::MakeRawStringItem(3, std::string("A\0B", 3)));      // odd length
    builder.AddTrack(odd);
    const Parsed parsed = Parse(builder.Build());
    ASSERT_TRUE(parsed.outcome.complete);
    EXPECT_EQ(Title(parsed, 0), "Sigur R\u00F3s");
    EXPECT_EQ(parsed.store.Text(0, TrackStore::kArtist), "Bj\u00F6rk");
    EXPECT_EQ(Title(parsed, 1), "\uFFFD");
    EXPECT_EQ(parsed.store.Text(1, TrackStore::kArtist), "ab\uFFFD");
    EXPECT_EQ(parsed.store.Text(1, TrackStore::kAlbum), "A");
}

// The encoding mark is the first field after the item's 24-byte header; the value at 32 is
// something else (real databases hold 0 or 1 there) and must not decide anything.
TEST(DatabaseParsing, TakesTheEncodingFromTheFieldAfterTheItemHeader) {
    struct Case {
        std::uint32_t at24;
        std::uint32_t at32;
        std::string bytes;
        const char* expected;
    };
    const std::string utf8 = "Sigur R\xC3\xB3s";
    const std::string utf16 = dbbuild::Utf16Bytes(u"Sigur R\u00F3s");
    const Case cases[] = {
        {2, 0, utf8, "Sigur R\u00F3s"},
        {2, 1, utf8, "Sigur R\u00F3s"},
        {1, 2, utf16, "Sigur R\u00F3s"},
        {1, 1, utf16, "Sigur R\u00F3s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "24: " << c.at24 << ", 32: " << c.at32);
        DatabaseBuilder builder;
        builder.AddTrack({1, {dbbuild::MakeRawStringItem(1, c.bytes)}});
        dbbuild::Layout layout;
        auto image = builder.Build(&layout);
        PutU32(image, layout.items[0][0] + 24, c.at24);
        PutU32(image, layout.items[0][0] + 32, c.at32);
        const Parsed parsed = Parse(image);
        ASSERT_TRUE(parsed.outcome.complete) << parsed.outcome.problem;
        EXPECT_EQ(Title(parsed, 0), c.expected);
    }
}

TEST(DatabaseParsing, ReadsOldDatabasesWithShortHeaders) {
    DatabaseBuilder builder = ThreeTracks();
    builder.ClearDataSets();
    builder.SetFileHeaderLength(dbbuild::kOldFileHeaderLength);
    builder.SetTrackHeaderLength(dbbuild::kOldTrackHeaderLength);
    builder.AddDataSet(2, 8, false);
    const Parsed parsed = Parse(builder.Build());
    ASSERT_TRUE(parsed.outcome.complete);
    EXPECT_EQ(Title(parsed, 1), "Two");
}

TEST(DatabaseParsing, AnEmptyTrackListIsComplete) {
    const Parsed parsed = Parse(DatabaseBuilder().Build());
    EXPECT_TRUE(parsed.outcome.complete);
    EXPECT_EQ(parsed.outcome.announced, 0);
    EXPECT_EQ(parsed.store.Count(), 0);
}

// Damaged and hostile files: never read outside the image, never loop without end, never
// reserve memory from an unchecked count, and keep the tracks read before the damage.
class DamagedDatabase : public ::testing::Test {
protected:
    void SetUp() override { image = ThreeTracks().Build(&layout); }
    std::vector<std::uint8_t> image;
    dbbuild::Layout layout;
};

TEST_F(DamagedDatabase, KeepsTheTracksBeforeABrokenRecord) {
    PutU32(image, layout.tracks[2] + 8, 0x7FFFFFFF); // third record claims 2 GiB
    const Parsed parsed = Parse(image);
    EXPECT_FALSE(parsed.outcome.complete);
    EXPECT_EQ(parsed.outcome.announced, 3);
    ASSERT_EQ(parsed.store.Count(), 2);
    EXPECT_EQ(Title(parsed, 1), "Two");
    EXPECT_NE(parsed.outcome.problem.find("track 3 of 3"), std::string::npos);
}

TEST_F(DamagedDatabase, StopsAtItemLengthsThatCannotBe) {
    for (std::uint32_t length : {0u, 8u, 0x80000000u, 0xFFFFFFFFu}) {
        auto bad = image;
        PutU32(bad, layout.items[1][0] + 8, length);
        const Parsed parsed = Parse(bad);
        EXPECT_FALSE(parsed.outcome.complete) << length;
        EXPECT_EQ(parsed.store.Count(), 1) << length;
    }
}

TEST_F(DamagedDatabase, StopsAtTextLengthsPastTheItem) {
    for (std::uint32_t length : {1000u, 0xFFFFFFFEu, 0x7FFFFFFFu}) {
        auto bad = image;
        PutU32(bad, layout.items[1][0] + 28, length);
        const Parsed parsed = Parse(bad);
        EXPECT_FALSE(parsed.outcome.complete) << length;
        EXPECT_EQ(parsed.store.Count(), 1) << length;
    }
}

TEST_F(DamagedDatabase, TreatsAHugeCountAsDamageNotAsMemoryToReserve) {
    PutU32(image, layout.trackListHeader + 8, 0x7FFFFFFF);
    const Parsed parsed = Parse(image);
    EXPECT_FALSE(parsed.outcome.complete);
    EXPECT_EQ(parsed.store.Count(), 3);
    EXPECT_LT(parsed.store.MemoryBytes(), 64u * 1024);
}

TEST_F(DamagedDatabase, ReadsNothingForANegativeCount) {
    PutU32(image, layout.trackListHeader + 8, 0xFFFFFFFF);
    const Parsed parsed = Parse(image);
    EXPECT_FALSE(parsed.outcome.complete);
    EXPECT_EQ(parsed.store.Count(), 0);
}

TEST_F(DamagedDatabase, NegativeItemCountsReadNoItems) {
    PutU32(image, layout.tracks[0] + 12, 0xFFFFFFFF);
    const Parsed parsed = Parse(image);
    // The record's own total length still leads to the next track.
    ASSERT_TRUE(parsed.outcome.complete);
    EXPECT_EQ(Title(parsed, 0), "");
    EXPECT_EQ(Title(parsed, 1), "Two");
}

TEST_F(DamagedDatabase, SurvivesDataSetLengthsThatWouldLoopOrJumpAway) {
    for (std::uint32_t length : {0u, 1u, 0x80000000u}) {
        auto bad = image;
        PutU32(bad, layout.dataSets.front() + 8, length);
        const Parsed parsed = Parse(bad);
        EXPECT_FALSE(parsed.outcome.complete) << length;
    }
    auto bad = image;
    PutU32(bad, 4, 0x7FFFFFF0); // the first data set far past the end
    EXPECT_FALSE(Parse(bad).outcome.complete);
    PutU32(bad, 4, 0xFFFFFFF0); // negative
    EXPECT_FALSE(Parse(bad).outcome.complete);
}

TEST_F(DamagedDatabase, EveryTruncationKeepsACleanPrefixOfTheTracks) {
    const Parsed whole = Parse(image);
    for (std::size_t size = 0; size < image.size(); ++size) {
        const std::vector<std::uint8_t> cut(image.begin(), image.begin() + static_cast<long>(size));
        const Parsed parsed = Parse(cut);
        ASSERT_LE(parsed.store.Count(), 3) << size;
        for (int i = 0; i < parsed.store.Count(); ++i)
            ASSERT_EQ(parsed.store.Song(i), whole.store.Song(i)) << size;
        // The track list ends before the data sets after it: cuts there lose nothing.
        if (size >= layout.trackListSet + dbbuild::GetU32(image, layout.trackListSet + 8)) {
            EXPECT_TRUE(parsed.outcome.complete) << size;
        }
    }
}

TEST_F(DamagedDatabase, RandomCorruptionNeverEscapesTheImage) {
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        auto bad = image;
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int f = 0; f < flips; ++f)
            bad[random() % bad.size()] = static_cast<std::uint8_t>(random());
        const Parsed parsed = Parse(bad);
        EXPECT_LE(parsed.store.Count(), std::max(parsed.outcome.announced, 0));
    }
}
