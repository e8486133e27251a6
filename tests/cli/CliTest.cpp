#include "cli/JsonLine.h"

#include "DatabaseBuilder.h"
#include "DemoPlayer.h"
#include "PlayerFiles.h"
#include "support/CliListing.h"
#include "support/FlatJson.h"
#include "support/PlayerFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace fs = std::filesystem;
using testsupport::CliRun;
using testsupport::ExpectListingMatches;
using testsupport::ParseFlatJson;
using testsupport::RunCli;
using testsupport::TempDir;

namespace {

const fs::path kFixtures = KESTRUNE_FIXTURES_DIR;

} // namespace

TEST(CliListing, MatchesTheGeneratedPlayerFixture) {
    TempDir scratch;
    const fs::path player = scratch.path() / "player";
    testsupport::CopyTree(kFixtures / "players/generated-40", player);
    ExpectListingMatches(RunCli({"list", player.string()}, scratch),
                         kFixtures / "players/generated-40/expected.jsonl");
}

TEST(CliListing, TakesARootWhoseNameIsNotAscii) {
    // On Windows the argument must arrive as UTF-8 whatever the code page, and reach the
    // file system through the wide calls.
    TempDir scratch;
    const fs::path player =
        scratch.path() / fs::path(u8"Bj\u00F6rk \u65E5\u672C \u0418\u0432\u0430\u043D");
    testsupport::CopyTree(kFixtures / "players/generated-40", player);
    const std::u8string root = player.u8string();
    ExpectListingMatches(RunCli({"list", std::string(root.begin(), root.end())}, scratch),
                         kFixtures / "players/generated-40/expected.jsonl");
}

TEST(CliListing, MatchesEveryBareDatabaseFixture) {
    for (const char* name : {"small-2-tracks", "old-5375-tracks"}) {
        SCOPED_TRACE(name);
        TempDir scratch;
        const fs::path player = scratch.path() / "player";
        std::ifstream in(kFixtures / "databases" / (std::string(name) + ".itunesdb"),
                         std::ios::binary);
        const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
        ASSERT_FALSE(bytes.empty());
        testsupport::WriteDatabase(player, bytes);
        ExpectListingMatches(RunCli({"list", player.string()}, scratch),
                             kFixtures / "databases" / (std::string(name) + ".expected.jsonl"));
    }
}

TEST(CliListing, MatchesGeneratedPlayersWithEveryKindOfOddity) {
    // Case-variant folders and names, missing and empty files, non-string items, files of
    // several gigabytes (sparse): the generator's own listing is the reference.
    for (std::uint64_t seed : {7u, 8u}) {
        SCOPED_TRACE(seed);
        TempDir scratch;
        demoplayer::Options options;
        options.tracks = 300;
        options.seed = seed;
        if (seed == 8) {
            options.sparse = true;
            options.minFileBytes = 1'000'000'000;
            options.maxFileBytes = 6'000'000'000;
        }
        demoplayer::WritePlayer(scratch.path() / "player", options);
        ExpectListingMatches(RunCli({"list", (scratch.path() / "player").string()}, scratch),
                             scratch.path() / "player" / "expected.jsonl");
    }
}

TEST(CliListing, SaysSoWhenThereIsNoDatabase) {
    TempDir scratch;
    fs::create_directories(scratch.path() / "empty-player" / "iPod_Control");
    const CliRun run = RunCli({"list", (scratch.path() / "empty-player").string()}, scratch);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.lines.empty());
    EXPECT_NE(run.errors.find("no track database"), std::string::npos) << run.errors;
}

// Each source of tracks: its exit status, and what standard error says of it.
TEST(CliListing, SaysWhereTheTracksCameFrom) {
    TempDir scratch;
    const fs::path player = scratch.path() / "player";
    const fs::path itunes = player / "iPod_Control" / "iTunes";
    auto write = [](const fs::path& path, const std::vector<std::uint8_t>& bytes) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    };
    dbbuild::DatabaseBuilder builder;
    builder.AddTrack(dbbuild::MakeTrack(1, {{1, "In the database"}}));
    write(player / "iPod_Control" / "Music" / "F00" / "A.mp3", dbbuild::Mp3WithTags({}));
    struct Case {
        const char* kind;
        std::function<void()> make;
        std::vector<std::string> options;
        int status;
        const char* said; // on standard error; empty: nothing
        const char* title;
    };
    const Case cases[] = {
        {"database",
         [&] { testsupport::WriteDatabase(player, builder.Build()); },
         {},
         0,
         "",
         "In the database"},
        {"compressed",
         [&] {
             testsupport::WriteDatabase(player, {});
             testsupport::WriteDatabase(player, dbbuild::CompressDatabase(builder.Build()),
                                        "iTunesCDB");
         },
         {},
         0,
         "1 tracks read from the compressed database iTunesCDB",
         "In the database"},
        {"forced", [] {}, {"--from-files"}, 0, "read from the files' own tags: as asked", "A"},
        {"shuffle",
         [&] {
             fs::remove_all(itunes);
             write(itunes / "iTunesSD",
                   dbbuild::BuildOldShuffleDatabase({"/iPod_Control/Music/F00/A.mp3"}));
         },
         {},
         0,
         "read from the shuffle database iTunesSD",
         "A"},
        {"files",
         [&] { fs::remove_all(itunes); },
         {},
         5,
         "1 tracks read from the files' own tags: there is no database",
         "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        c.make();
        std::vector<std::string> arguments{"list", player.string()};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const CliRun run = RunCli(arguments, scratch);
        EXPECT_EQ(run.status, c.status) << run.errors;
        EXPECT_EQ(run.errors.empty(), *c.said == 0) << run.errors;
        EXPECT_NE(run.errors.find(c.said), std::string::npos) << run.errors;
        ASSERT_EQ(run.lines.size(), 1u);
        EXPECT_EQ(ParseFlatJson(run.lines[0]).value().at("title"), c.title);
    }
}

TEST(CliListing, SaysSoWhenTheRootIsNoFolder) {
    TempDir scratch;
    { std::ofstream(scratch.path() / "a-file"); }
    const struct {
        std::string root;
        const char* says;
    } cases[] = {{(scratch.path() / "nowhere").string(), "no such folder"},
                 {(scratch.path() / "a-file").string(), "not a folder"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root);
        const CliRun run = RunCli({"list", c.root}, scratch);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.lines.empty());
        EXPECT_NE(run.errors.find(c.says), std::string::npos) << run.errors;
        EXPECT_NE(run.errors.find(c.root), std::string::npos) << run.errors;
        EXPECT_EQ(run.errors.find("no track database"), std::string::npos) << run.errors;
    }
}

TEST(CliListing, AFailedWriteIsAnErrorNotSuccess) {
    // As with "list ROOT > /dev/full": nothing reached the output, so the status says so.
    TempDir scratch;
    const fs::path player = scratch.path() / "player";
    testsupport::CopyTree(kFixtures / "players/generated-40", player);
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"list", player.string()}, std::vector<std::string>{"--help"}}) {
        SCOPED_TRACE(arguments[0]);
        const CliRun run = RunCli(arguments, scratch, true);
        EXPECT_EQ(run.status, 4);
        EXPECT_NE(run.errors.find("kestrune-cli: cannot write to the standard output"),
                  std::string::npos)
            << run.errors;
    }
}

TEST(CliListing, ListsWhatADamagedDatabaseHoldsAndSaysItStoppedEarly) {
    TempDir scratch;
    dbbuild::DatabaseBuilder builder;
    for (int i = 0; i < 3; ++i)
        builder.AddTrack(dbbuild::MakeTrack(i, {{1, "Song " + std::to_string(i)}}));
    dbbuild::Layout layout;
    auto image = builder.Build(&layout);
    dbbuild::PutU32(image, layout.tracks[1] + 8, 0x7FFFFFFF);
    testsupport::WriteDatabase(scratch.path() / "player", image);

    const CliRun run = RunCli({"list", (scratch.path() / "player").string()}, scratch);
    EXPECT_EQ(run.status, 3);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(ParseFlatJson(run.lines[0])->at("title"), "Song 0");
    EXPECT_NE(run.errors.find("stopped early after 1 of 3 tracks"), std::string::npos)
        << run.errors;
}

TEST(CliListing, DescribesItselfAndRefusesWrongUsage) {
    TempDir scratch;
    const CliRun help = RunCli({"--help"}, scratch);
    EXPECT_EQ(help.status, 0);
    ASSERT_FALSE(help.lines.empty());
    EXPECT_NE(help.lines[0].find("kestrune-cli list ROOT"), std::string::npos);
    EXPECT_EQ(RunCli({"lsit", "x"}, scratch).status, 1);
    const CliRun empty = RunCli({"list", ""}, scratch);
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.errors.find("Usage: kestrune-cli list ROOT"), std::string::npos)
        << empty.errors;
}

// The file a file:// URL names: %XX decoded, and on Windows the slash before the drive dropped.
fs::path PathOfFileUrl(const std::string& url) {
    std::string path = url.substr(std::string("file://").size());
    std::string decoded;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '%' && i + 2 < path.size()) {
            decoded += static_cast<char>(std::stoi(path.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += path[i];
        }
    }
    if (decoded.size() > 2 && decoded[2] == ':')
        decoded.erase(0, 1);
    const std::u8string text(decoded.begin(), decoded.end());
    return fs::path(text);
}

TEST(CliVersion, NamesTheVersionAndAnAboutPageThatIsThere) {
    TempDir scratch;
    const CliRun run = RunCli({"--version"}, scratch);
    EXPECT_EQ(run.status, 0) << run.errors;
    ASSERT_GE(run.lines.size(), 3u);
    EXPECT_EQ(run.lines[0], std::string("kestrune-cli ") + KESTRUNE_VERSION);
    const std::string about = run.lines.back();
    ASSERT_TRUE(about.starts_with("About: file://")) << about;
    const fs::path page = PathOfFileUrl(about.substr(std::string("About: ").size()));
    EXPECT_EQ(page.filename(), "about.html");
    EXPECT_TRUE(fs::is_regular_file(page)) << page;
    EXPECT_EQ(RunCli({"--version"}, scratch, true).status, 4);
}

TEST(JsonLine, EscapesWhatJsonRequires) {
    EXPECT_EQ(cli::JsonString("a\"b\\c\nd\x01"), "\"a\\\"b\\\\c\\nd\\u0001\"");
    EXPECT_EQ(cli::JsonString("Bj\xC3\xB6rk"), "\"Bj\xC3\xB6rk\"");
    TSong song;
    song.Title = "What? / Why: \"Now\"";
    song.TrackID = -5;
    const auto parsed = ParseFlatJson(cli::TrackJson(song));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->at("title"), song.Title);
    EXPECT_EQ(parsed->at("trackId"), "-5");
}
