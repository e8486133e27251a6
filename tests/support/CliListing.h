#pragma once

#include "support/FlatJson.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

struct CliRun {
    int status = -1;
    std::vector<std::string> lines; // standard output, without line endings (LF or CRLF)
    std::string errors;
};

// Runs kestrune-cli with the given arguments (with unwritableOut, on an output that takes
// no write).
inline CliRun RunCli(const std::vector<std::string>& arguments, const TempDir& scratch,
                     bool unwritableOut = false) {
    const ProgramRun program =
        RunProgram(KESTRUNE_CLI_PATH, arguments, scratch.path(), unwritableOut);
    CliRun run;
    run.status = program.exitCode;
    run.errors = program.errors;
    std::istringstream stream(program.out);
    for (std::string line; std::getline(stream, line);) {
        if (line.ends_with('\r'))
            line.pop_back();
        run.lines.push_back(line);
    }
    return run;
}

inline std::vector<std::string> ReadJsonLines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with('\r'))
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

// Every key of every expected line, and exactly the keys the listing promises.
inline void ExpectListingMatches(const CliRun& run, const std::filesystem::path& expectedFile) {
    const auto expected = ReadJsonLines(expectedFile);
    ASSERT_FALSE(expected.empty()) << expectedFile;
    ASSERT_EQ(run.status, 0) << run.errors;
    ASSERT_EQ(run.lines.size(), expected.size());
    const std::vector<std::string> keys{"title",       "location",    "fileSize",   "album",
                                        "artist",      "genre",       "filetype",   "comment",
                                        "eqSetting",   "composer",    "grouping",   "trackId",
                                        "albumArtist", "trackNumber", "trackCount", "discNumber",
                                        "discCount",   "year",        "duration"};
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

} // namespace testsupport
