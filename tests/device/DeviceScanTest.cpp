#include "core/device/DeviceScan.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using device::RootFromEntry;
using device::ScanPlayers;
using device::SelectorEntry;
using testsupport::TempDir;

TEST(SelectorEntries, FoldTheLabelAndEndWithTheRoot) {
    EXPECT_EQ(SelectorEntry("IPOD", "e:"), " [ipod]  e:");
    EXPECT_EQ(SelectorEntry("", "e:"), " []  e:");
    EXPECT_EQ(SelectorEntry("\u00C9T\u00C9", "/media/x"), " [\u00E9t\u00E9]  /media/x");
}

TEST(SelectorEntries, GiveBackTheirRoot) {
    EXPECT_EQ(RootFromEntry(" [ipod]  e:"), "e:");
    EXPECT_EQ(RootFromEntry(" [my player]  /media/me/MY PLAYER"), "/media/me/MY PLAYER");
    EXPECT_EQ(RootFromEntry("Please connect your iPod"), "");
    EXPECT_EQ(RootFromEntry(" [x]"), "");
}

TEST(PlayerScan, ListsFoldersHoldingThePlayerFolderInAnyCase) {
    TempDir root;
    const auto make = [&](const std::string& name, const std::string& inner) {
        std::filesystem::create_directories(root.path() / name / inner);
        return (root.path() / name).string();
    };
    const std::string upper = make("Upper", "IPOD_CONTROL/ITUNES");
    const std::string plain = make("Plain", "iPod_Control/iTunes");
    const std::string empty = make("Empty", "iPod_Control/Music"); // no iTunes folder
    const std::string file = make("File", "iPod_Control");
    { std::ofstream(std::filesystem::path(file) / "iPod_Control" / "iTunes"); }

    std::vector<std::string> failures;
    device::ScanSources sources{[&] {
                                    return std::vector<std::string>{upper, empty, file};
                                },
                                {plain, plain}};
    const auto found = ScanPlayers(sources, [&](const std::string& m) { failures.push_back(m); });
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].root, upper);
    // Not a mounted volume: its label cannot be read, so it is empty and the failure reported.
    EXPECT_EQ(found[0].entry, " []  " + upper);
    EXPECT_EQ(failures.size(), 1u);
    // Folders from the command line are labelled by their name and listed once.
    EXPECT_EQ(found[1].entry, " [plain]  " + plain);
}

TEST(PlayerScan, ListsAFolderWrittenTwoWaysOnce) {
    TempDir root;
    std::filesystem::create_directories(root.path() / "A" / "iPod_Control" / "iTunes");
    std::filesystem::create_directories(root.path() / "other");
    const std::string a = (root.path() / "A").string();
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    device::ScanSources sources{{},
                                {a + separator, (root.path() / "other" / ".." / "A").string(), a}};
    const auto found = ScanPlayers(sources, {});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].root, a);
    EXPECT_EQ(found[0].entry, " [a]  " + a);
}

TEST(PlayerScan, SaysWhyAFolderIsNotListed) {
    TempDir root;
    std::filesystem::create_directories(root.path() / "player" / "iPod_Control" / "iTunes");
    std::filesystem::create_directories(root.path() / "empty" / "iPod_Control");
    const std::string missing = (root.path() / "gone").string();
    const std::string empty = (root.path() / "empty").string();
    EXPECT_EQ(device::PlayerFolderRejection(missing), "--player " + missing + ": no such folder");
    EXPECT_EQ(device::PlayerFolderRejection(empty),
              "--player " + empty + ": it holds no iPod_Control/iTunes folder");
    EXPECT_EQ(device::PlayerFolderRejection((root.path() / "player").string()), std::nullopt);
    EXPECT_EQ(device::PlayerFolderRejection(""), "--player : no such folder");
}

TEST(PlayerChanges, TellArrivalsFromRemovals) {
    using device::FoundPlayer;
    struct Case {
        std::vector<std::string> listed;
        std::vector<std::string> found;
        std::string loaded;
        bool changed, arrived, loadedGone;
    };
    const Case cases[] = {
        {{"e:", "g:"}, {"e:", "g:"}, "e:", false, false, false}, // nothing of ours
        {{"e:"}, {"e:", "g:"}, "e:", true, true, false},         // one more
        {{"e:", "g:"}, {"e:"}, "e:", true, false, false},        // another went
        {{"e:", "g:"}, {"g:"}, "e:", true, false, true},         // the loaded one went
        {{"e:"}, {"g:"}, "e:", true, true, true},                // swapped in one notice
        {{}, {"e:"}, "", true, true, false},                     // the first player
        {{"e:"}, {}, "", true, false, false},                    // gone with nothing loaded
        {{"e:", "g:"}, {"g:", "e:"}, "g:", false, false, false}, // order does not matter
    };
    for (const Case& c : cases) {
        std::vector<FoundPlayer> found;
        for (const std::string& root : c.found)
            found.push_back({root, SelectorEntry("", root)});
        const auto changes = device::ComparePlayers(c.listed, found, c.loaded);
        const std::string where = "listed " + std::to_string(c.listed.size()) + ", found " +
                                  std::to_string(c.found.size()) + ", loaded " + c.loaded;
        EXPECT_EQ(changes.changed, c.changed) << where;
        EXPECT_EQ(changes.arrived, c.arrived) << where;
        EXPECT_EQ(changes.loadedGone, c.loadedGone) << where;
    }
}
