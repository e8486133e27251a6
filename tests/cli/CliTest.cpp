#include "cli/JsonLine.h"

#include "DatabaseBuilder.h"
#include "DemoPlayer.h"
#include "support/FlatJson.h"
#include "support/PlayerFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;
using testsupport::ParseFlatJson;
using testsupport::TempDir;

namespace {

const fs::path kFixtures = KESTRUNE_FIXTURES_DIR;

struct CliRun {
    int status = -1;
    std::vector<std::string> lines;
    std::string errors;
};

CliRun RunCli(const std::string& arguments, const TempDir& scratch) {
    const fs::path errors = scratch.path() / "stderr.txt";
    const std::string command =
        std::string("'") + KESTRUNE_CLI_PATH + "' " + arguments + " 2>'" + errors.string() + "'";
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    std::string output;
    char buffer[65536];
    while (std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, got);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream stream(output);
    for (std::string line; std::getline(stream, line);)
        run.lines.push_back(line);
    std::ifstream in(errors);
    run.errors.assign(std::istreambuf_iterator<char>(in), {});
    return run;
}

std::vector<std::string> ReadLines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

std::string Quote(const fs::path& path) {
    return "'" + path.string() + "'";
}

// Every key of every expected line, and exactly the keys the listing promises.
void ExpectListingMatches(const CliRun& run, const fs::path& expectedFile) {
    const auto expected = ReadLines(expectedFile);
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(run.status, 0) << run.errors;
    ASSERT_EQ(run.lines.size(), expected.size());
    const std::vector<std::string> keys{"title",     "location", "fileSize", "album",
                                        "artist",    "genre",    "filetype", "comment",
                                        "eqSetting", "composer", "grouping", "trackId"};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto want = ParseFlatJson(expected[i]);
        const auto got = ParseFlatJson(run.lines[i]);
        ASSERT_TRUE(want) << expected[i];
        ASSERT_TRUE(got) << run.lines[i];
        ASSERT_EQ(got->size(), keys.size()) << run.lines[i];
        for (const auto& key : keys)
            EXPECT_EQ(got->count(key), 1u) << key;
        for (const auto& [key, value] : *want)
            EXPECT_EQ(got->at(key), value) << "line " << i + 1 << " key " << key;
    }
}

} // namespace

TEST(CliListing, MatchesTheGeneratedPlayerFixture) {
    TempDir scratch;
    const fs::path player = scratch.path() / "player";
    testsupport::CopyTree(kFixtures / "players/generated-40", player);
    ExpectListingMatches(RunCli("list " + Quote(player), scratch),
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
        ExpectListingMatches(RunCli("list " + Quote(player), scratch),
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
        ExpectListingMatches(RunCli("list " + Quote(scratch.path() / "player"), scratch),
                             scratch.path() / "player" / "expected.jsonl");
    }
}

TEST(CliListing, SaysSoWhenThereIsNoDatabase) {
    TempDir scratch;
    const CliRun run = RunCli("list " + Quote(scratch.path() / "nowhere"), scratch);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.lines.empty());
    EXPECT_NE(run.errors.find("no track database"), std::string::npos) << run.errors;
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

    const CliRun run = RunCli("list " + Quote(scratch.path() / "player"), scratch);
    EXPECT_EQ(run.status, 3);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(ParseFlatJson(run.lines[0])->at("title"), "Song 0");
    EXPECT_NE(run.errors.find("stopped early after 1 of 3 tracks"), std::string::npos)
        << run.errors;
}

TEST(CliListing, DescribesItselfAndRefusesWrongUsage) {
    TempDir scratch;
    const CliRun help = RunCli("--help", scratch);
    EXPECT_EQ(help.status, 0);
    ASSERT_FALSE(help.lines.empty());
    EXPECT_NE(help.lines[0].find("kestrune-cli list ROOT"), std::string::npos);
    EXPECT_EQ(RunCli("lsit x", scratch).status, 1);
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
