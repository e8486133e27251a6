#include "DatabaseBuilder.h"
#include "DemoPlayer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using dbbuild::GetU32;
namespace fs = std::filesystem;

// Offsets found by following the lengths of the written file, checking on the way that every
// chunk's total length covers exactly what follows it up to the next chunk.
struct Walk {
    std::vector<std::size_t> dataSets;
    std::size_t trackListSet = 0;
    std::size_t trackListHeader = 0;
    std::vector<std::size_t> tracks;
    std::vector<std::vector<std::size_t>> items;
    std::vector<std::int32_t> trackIds;
};

Walk WalkDatabase(const std::vector<std::uint8_t>& db) {
    Walk walk;
    EXPECT_EQ(GetU32(db, 8), db.size());
    const std::uint32_t setCount = GetU32(db, 20);
    std::size_t at = GetU32(db, 4);
    while (at < db.size()) {
        walk.dataSets.push_back(at);
        const std::size_t setEnd = at + GetU32(db, at + 8);
        EXPECT_EQ(GetU32(db, at + 4), std::uint32_t{96});
        if (GetU32(db, at + 12) == 1) {
            walk.trackListSet = at;
            walk.trackListHeader = at + GetU32(db, at + 4);
            const std::uint32_t trackCount = GetU32(db, walk.trackListHeader + 8);
            std::size_t track = walk.trackListHeader + GetU32(db, walk.trackListHeader + 4);
            for (std::uint32_t t = 0; t < trackCount; ++t) {
                walk.tracks.push_back(track);
                walk.trackIds.push_back(static_cast<std::int32_t>(GetU32(db, track + 16)));
                walk.items.emplace_back();
                std::size_t item = track + GetU32(db, track + 4);
                for (std::uint32_t i = 0; i < GetU32(db, track + 12); ++i) {
                    walk.items.back().push_back(item);
                    EXPECT_EQ(GetU32(db, item + 4), std::uint32_t{24});
                    item += GetU32(db, item + 8);
                }
                EXPECT_EQ(item, track + GetU32(db, track + 8)) << "track " << t;
                track = item;
            }
            EXPECT_EQ(track, setEnd) << "track list set";
        }
        at = setEnd;
    }
    EXPECT_EQ(at, db.size());
    EXPECT_EQ(walk.dataSets.size(), setCount);
    return walk;
}

std::string TextAt(const std::vector<std::uint8_t>& db, std::size_t item) {
    const std::size_t length = GetU32(db, item + 28);
    EXPECT_EQ(GetU32(db, item + 8), 40 + length);
    return std::string(db.begin() + static_cast<std::ptrdiff_t>(item + 40),
                       db.begin() + static_cast<std::ptrdiff_t>(item + 40 + length));
}

TEST(DatabaseBuilder, LengthsCountsAndLayoutAgree) {
    dbbuild::DatabaseBuilder builder;
    builder.AddDataSet(5, 200, false).AddDataSet(8, 7, true);
    builder.AddTrack(dbbuild::MakeTrack(52, {{1, "Title"}, {2, ":iPod_Control:Music:F00:A.mp3"}}));
    builder.AddTrack({53,
                      {dbbuild::RawItem{15, {'h', 't', 't', 'p'}}, dbbuild::StringItem{3, ""},
                       dbbuild::RawItem{17, std::vector<std::uint8_t>(181, 0xAB)}}});
    builder.AddTrack(dbbuild::Track{54, {}});

    dbbuild::Layout layout;
    const std::vector<std::uint8_t> db = builder.Build(&layout);
    const Walk walk = WalkDatabase(db);

    EXPECT_EQ(GetU32(db, 4), std::uint32_t{244});
    EXPECT_EQ(walk.dataSets, layout.dataSets);
    ASSERT_EQ(walk.dataSets.size(), 6u); // 8 and 4 before, 1, then 3, 2 and 5 after
    EXPECT_EQ(layout.dataSets[2], layout.trackListSet);
    EXPECT_EQ(walk.trackListSet, layout.trackListSet);
    EXPECT_EQ(walk.trackListHeader, layout.trackListHeader);
    EXPECT_EQ(GetU32(db, layout.trackListHeader + 8), 3u);
    EXPECT_EQ(walk.tracks, layout.tracks);
    EXPECT_EQ(walk.items, layout.items);
    EXPECT_EQ(walk.trackIds, (std::vector<std::int32_t>{52, 53, 54}));
    EXPECT_EQ(GetU32(db, layout.tracks[0] + 4), std::uint32_t{584});
    EXPECT_EQ(GetU32(db, layout.tracks[2] + 8), std::uint32_t{584});

    const std::vector<std::size_t>& raw = layout.items[1];
    EXPECT_EQ(GetU32(db, raw[0] + 8), 24u + 4u);
    EXPECT_EQ(GetU32(db, raw[0] + 12), 15u);
    EXPECT_EQ(db[raw[0] + 24], 'h');
    EXPECT_EQ(GetU32(db, raw[2] + 8), 24u + 181u);
    EXPECT_EQ(TextAt(db, raw[1]), "");
}

TEST(DatabaseBuilder, WritesUtf16OrUtf8ByEncoding) {
    dbbuild::DatabaseBuilder builder;
    builder.AddTrack(dbbuild::MakeTrack(
        1, {{1, "Mö🎸"}, {4, "Mö🎸", 2}, {3, "ab", 0}, {5, "\xED\xA0\x80", 1}, {6, "\xFF"}}));
    dbbuild::Layout layout;
    const std::vector<std::uint8_t> db = builder.Build(&layout);
    const std::vector<std::size_t>& items = layout.items[0];

    EXPECT_EQ(TextAt(db, items[0]), std::string("M\0\xF6\0\x3C\xD8\xB8\xDF", 8));
    EXPECT_EQ(GetU32(db, items[0] + 24), 1u);
    EXPECT_EQ(TextAt(db, items[1]), "Mö🎸");
    EXPECT_EQ(GetU32(db, items[1] + 24), 2u);
    EXPECT_EQ(TextAt(db, items[2]), std::string("a\0b\0", 4));
    EXPECT_EQ(GetU32(db, items[2] + 24), 0u);
    // The encoding stands right after the header; offset 32 holds what real databases hold.
    for (std::size_t item : items)
        EXPECT_EQ(GetU32(db, item + 32), 1u);
    EXPECT_EQ(TextAt(db, items[3]), std::string("\x00\xD8", 2)) << "lone surrogate kept";
    EXPECT_EQ(TextAt(db, items[4]), std::string("\xFD\xFF", 2)) << "invalid byte replaced";
}

TEST(DatabaseBuilder, OldLayoutWithHandMadeStringItem) {
    dbbuild::DatabaseBuilder builder;
    builder.ClearDataSets().SetFileHeaderLength(104).SetTrackHeaderLength(160);
    builder.AddDataSet(2, 92, false);
    builder.AddTrack({7, {dbbuild::MakeRawStringItem(1, "abc", 0)}});
    dbbuild::Layout layout;
    const std::vector<std::uint8_t> db = builder.Build(&layout);
    const Walk walk = WalkDatabase(db);

    EXPECT_EQ(layout.trackListSet, 104u);
    EXPECT_EQ(walk.dataSets.size(), 2u);
    EXPECT_EQ(GetU32(db, layout.tracks[0] + 4), 160u);
    EXPECT_EQ(TextAt(db, layout.items[0][0]), "abc");
    EXPECT_EQ(GetU32(db, layout.items[0][0] + 24), 0u);
}

TEST(DemoPlayer, SizeTextCutsAfterTwoDecimals) {
    EXPECT_EQ(demoplayer::SizeText(5000000), "4.76MB");
    EXPECT_EQ(demoplayer::SizeText(3500000), "3.33MB");
    EXPECT_EQ(demoplayer::SizeText(123456789), "117.73MB");
    EXPECT_EQ(demoplayer::SizeText(1048576), "1MB");
    EXPECT_EQ(demoplayer::SizeText(1572864), "1.5MB");
    EXPECT_EQ(demoplayer::SizeText(0), "0MB");
    EXPECT_EQ(demoplayer::SizeText(100), "0.00MB");
    EXPECT_EQ(demoplayer::SizeText(std::uint64_t{5} << 30), "5120MB");
}

std::string FieldOf(const std::string& line, const std::string& key) {
    const std::string marker = "\"" + key + "\": \"";
    const auto start = line.find(marker);
    if (start == std::string::npos)
        return "<missing>";
    const auto begin = start + marker.size();
    return line.substr(begin, line.find('"', begin) - begin);
}

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// Finds the file of a location the way the player's case-blind file system does.
// Walks the location's names through the folder listings, so the answer does not depend on
// whether the disk itself ignores letter case.
bool FileExistsSpelled(fs::path folder, const std::string& location, bool ignoreCase) {
    std::size_t start = 1;
    while (start <= location.size()) {
        const auto end = std::min(location.find(':', start), location.size());
        const std::string part = location.substr(start, end - start);
        bool found = false;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (ignoreCase ? SameIgnoringAsciiCase(name, part) : name == part) {
                folder = entry.path();
                found = true;
                break;
            }
        }
        if (!found)
            return false;
        start = end + 1;
    }
    return fs::is_regular_file(folder);
}

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {});
}

TEST(DemoPlayer, WritesPlayerFolderAndOneExpectedLinePerTrack) {
    testsupport::TempDir dir;
    demoplayer::Options options;
    options.tracks = 60;
    options.seed = 7;
    demoplayer::WritePlayer(dir.path() / "player", options);
    const fs::path root = dir.path() / "player";

    const std::vector<std::uint8_t> db = ReadAll(root / "iPod_Control" / "iTunes" / "iTunesDB");
    ASSERT_FALSE(db.empty());
    const Walk walk = WalkDatabase(db);
    ASSERT_EQ(walk.tracks.size(), 60u);
    for (int folder = 0; folder < 50; ++folder) {
        const std::string name =
            std::string("F") + char('0' + folder / 10) + char('0' + folder % 10);
        EXPECT_TRUE(fs::is_directory(root / "iPod_Control" / "Music" / name)) << name;
    }

    std::ifstream expected(root / "expected.jsonl");
    std::string line;
    std::size_t count = 0;
    bool sawMissing = false;
    bool sawZeroBytes = false;
    bool sawCaseDifference = false;
    while (std::getline(expected, line)) {
        ASSERT_LT(count, walk.trackIds.size());
        for (const char* key : {"title", "location", "fileSize", "album", "artist", "genre",
                                "filetype", "comment", "eqSetting", "composer", "grouping"})
            EXPECT_NE(FieldOf(line, key), "<missing>") << key << " in " << line;
        EXPECT_NE(line.find("\"trackId\": " + std::to_string(walk.trackIds[count]) + "}"),
                  std::string::npos)
            << line;
        const std::string location = FieldOf(line, "location");
        const std::string size = FieldOf(line, "fileSize");
        EXPECT_EQ(FileExistsSpelled(root, location, true), !size.empty()) << line;
        sawMissing = sawMissing || size.empty();
        sawZeroBytes = sawZeroBytes || size == "0MB";
        sawCaseDifference =
            sawCaseDifference || (!size.empty() && !FileExistsSpelled(root, location, false));
        ++count;
    }
    EXPECT_EQ(count, 60u);
    EXPECT_TRUE(sawMissing);
    EXPECT_TRUE(sawZeroBytes);
    EXPECT_TRUE(sawCaseDifference);

    testsupport::TempDir again;
    demoplayer::WritePlayer(again.path(), options);
    EXPECT_EQ(ReadAll(again / "iPod_Control/iTunes/iTunesDB"), db) << "same seed, same database";
}

} // namespace
