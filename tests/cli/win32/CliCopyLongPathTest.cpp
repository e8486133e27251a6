// kestrune-cli.exe copies into a target whose paths pass 260 characters, making its folders
// there, and names copies (and layout folders) after Windows device names with a "_", so each
// lands in a file of its own rather than in the device.

#include "../CliCopy.h"

#include "platform/Files.h"
#include "support/BuiltPlayer.h"
#include "support/DataHome.h"
#include "support/RegistrySandbox.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace testsupport;

namespace {

// MinGW's C++ library cannot list a folder beyond 260 characters: the Windows back end lists it.
std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    const auto entries = platform::ListDirectory(folder);
    if (!entries)
        return {"(not listed)"};
    for (const platform::DirEntry& entry : *entries)
        names.insert(entry.name);
    return names;
}

} // namespace

TEST(CliCopyOnWindows, CopiesDeviceNamedTitlesIntoFoldersBeyond260Characters) {
    const struct {
        const char* title;
        const char* copy;
    } tracks[] = {{"CON", "CON_.mp3"},
                  {"nul", "nul_.mp3"},
                  {"COM1", "COM1_.mp3"},
                  {"LPT1.live", "LPT1_.live.mp3"},
                  {"aux .txt", "aux_ .txt.mp3"}};
    TempDir scratch;
    RegistrySandbox registry;
    ScopedDataHome dataHome(scratch.str());
    std::vector<TrackSpec> built;
    for (std::size_t i = 0; i < std::size(tracks); ++i)
        built.push_back({tracks[i].title, "PRN", "T" + std::to_string(i) + ".mp3",
                         static_cast<std::int64_t>(1000 + i)});
    const std::string player = BuildPlayer(scratch.path() / "player", built);
    // Not there yet: the program makes it, and the artist's folder below it.
    const std::string target =
        scratch.str() + "\\" + std::string(120, 'a') + "\\" + std::string(120, 'b');
    ASSERT_GT(target.size(), 260u);

    const CliRun run =
        RunCli({"copy", player, target, "--no-overwrite", "--layout", "{artist}/{title}"}, scratch);
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto report = CopyReport(run);
    ASSERT_EQ(report.size(), std::size(tracks));
    std::set<std::string> names;
    for (std::size_t i = 0; i < report.size(); ++i) {
        EXPECT_EQ(report[i].outcome, target + "\\PRN_\\" + tracks[i].copy);
        EXPECT_TRUE(SameBytes(report[i].outcome, report[i].source)) << report[i].outcome;
        names.insert(tracks[i].copy);
    }
    EXPECT_EQ(Names(target), std::set<std::string>{"PRN_"});
    EXPECT_EQ(Names(target + "\\PRN_"), names);
}
