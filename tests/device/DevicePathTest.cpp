#include "core/device/DevicePath.h"

#include "support/PlayerFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using device::LocationComponents;
using device::PlayerFiles;
using testsupport::TempDir;
using testsupport::WriteFileOfSize;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Components(std::string_view location) {
    auto parts = LocationComponents(location);
    if (!parts)
        return {"<none>"};
    return {parts->begin(), parts->end()};
}

} // namespace

TEST(LocationComponents, SplitsOnColonsAndDropsEmptyParts) {
    EXPECT_EQ(Components(":iPod_Control:Music:F02:ABCD.mp3"),
              (std::vector<std::string>{"iPod_Control", "Music", "F02", "ABCD.mp3"}));
    EXPECT_EQ(Components("::a::b:"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Components(":a:.:b"), (std::vector<std::string>{"a", "b"}));
}

TEST(LocationComponents, RefusesEveryWayOffThePlayer) {
    EXPECT_EQ(Components(":iPod_Control:..:..:etc:passwd"), std::vector<std::string>{"<none>"});
    EXPECT_EQ(Components(":iPod_Control:Music:../../x"), std::vector<std::string>{"<none>"});
    EXPECT_EQ(Components(":iPod_Control:Music:..\\..\\x"), std::vector<std::string>{"<none>"});
    EXPECT_EQ(Components(".."), std::vector<std::string>{"<none>"});
    // A name that merely contains dots is fine.
    EXPECT_EQ(Components(":a:..b:c.."), (std::vector<std::string>{"a", "..b", "c.."}));
}

TEST(PlayerFiles, FindsFilesWhateverTheLetterCase) {
    TempDir root;
    WriteFileOfSize(root.path(), "iPod_Control/Music/F02/ABCD.mp3", 1234);
    PlayerFiles files(root.str());

    auto exact = files.FindLocation(":iPod_Control:Music:F02:ABCD.mp3");
    ASSERT_TRUE(exact);
    EXPECT_EQ(exact->size, 1234u);

    auto variant = files.FindLocation(":IPOD_CONTROL:music:f02:abcd.MP3");
    ASSERT_TRUE(variant);
    EXPECT_EQ(variant->path,
              (root.path() / "iPod_Control/Music/F02/ABCD.mp3").make_preferred().string());

    EXPECT_FALSE(files.FindLocation(":iPod_Control:Music:F02:ABCE.mp3"));
    EXPECT_FALSE(files.FindLocation(":iPod_Control:Music:F03:ABCD.mp3"));
    EXPECT_FALSE(files.FindLocation(":iPod_Control:Music:F02")); // a folder is no track file
}

// Letter case beyond ASCII, as the player's own file system folds it.
TEST(PlayerFiles, FoldsLetterCaseBeyondAscii) {
    struct Case {
        const char* onDisk;
        const char* location;
        bool found;
    };
    const Case cases[] = {
        {"\u00C4pfel.mp3", ":\u00E4PFEL.mp3", true},                 // Ä and ä
        {"\u00E9t\u00E9/x.mp3", ":\u00C9T\u00C9:X.MP3", true},       // a folder: été, ÉTÉ
        {"\u0414\u043E\u043C.mp3", ":\u0434\u041E\u041C.mp3", true}, // Дом and дОМ
        {"Apfel.mp3", ":\u00C4pfel.mp3", false},                     // an accent is no case
#ifndef _WIN32
        // Full folding: ß is ss. Windows' ordinal comparison maps letters one to one.
        {"STRASSE.mp3", ":stra\u00DFe.mp3", true},
#else
        {"STRASSE.mp3", ":stra\u00DFe.mp3", false},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        TempDir root;
        WriteFileOfSize(root.path() / "Music", c.onDisk, 7);
        PlayerFiles files(root.str());
        const auto found = files.FindLocation(std::string(":Music") + c.location);
        EXPECT_EQ(found.has_value(), c.found);
        if (found) {
            EXPECT_EQ(found->size, 7u);
        }
    }
}

#ifndef _WIN32
// Two names that differ only in letter case need a case-sensitive disk.
TEST(PlayerFiles, PrefersTheExactSpellingOverACaseVariant) {
    TempDir root;
    WriteFileOfSize(root.path(), "Music/a.mp3", 1);
    WriteFileOfSize(root.path(), "Music/A.mp3", 2);
    PlayerFiles files(root.str());
    EXPECT_EQ(files.FindLocation(":Music:A.mp3")->size, 2u);
    EXPECT_EQ(files.FindLocation(":Music:a.mp3")->size, 1u);
}
#endif

TEST(PlayerFiles, NeverLeavesThePlayer) {
    TempDir outside;
    WriteFileOfSize(outside.path(), "secret.txt", 10);
    WriteFileOfSize(outside.path(), "player/iPod_Control/Music/F00/x.mp3", 10);
    PlayerFiles files((outside.path() / "player").string());
    EXPECT_FALSE(files.FindLocation(":iPod_Control:..:..:secret.txt"));
    EXPECT_FALSE(files.FindLocation(":iPod_Control:Music:F00:..:..:..:secret.txt"));
    EXPECT_TRUE(files.FindLocation(":iPod_Control:Music:F00:x.mp3"));
}

TEST(PlayerFiles, ListsEachFolderOnceForManyTracks) {
    TempDir root;
    for (int folder = 0; folder < 3; ++folder)
        for (int track = 0; track < 20; ++track)
            WriteFileOfSize(root.path(),
                            "iPod_Control/Music/F0" + std::to_string(folder) + "/T" +
                                std::to_string(track) + ".mp3",
                            static_cast<std::uint64_t>(track));
    PlayerFiles files(root.str());
    for (int folder = 0; folder < 3; ++folder)
        for (int track = 0; track < 20; ++track) {
            const std::string location = ":iPod_Control:Music:f0" + std::to_string(folder) + ":t" +
                                         std::to_string(track) + ".MP3";
            auto found = files.FindLocation(location);
            ASSERT_TRUE(found) << location;
            EXPECT_EQ(found->size, static_cast<std::uint64_t>(track));
        }
    // The root, iPod_Control, Music and the three music folders.
    EXPECT_EQ(files.FolderListings(), 6u);
}

TEST(PlayerFiles, CachedFolderPartsDoNotConfuseTrailingSeparators) {
    TempDir root;
    WriteFileOfSize(root.path(), "a/b/c.mp3", 3);
    PlayerFiles files(root.str());
    // ":a:b:" names the folder b (no file); ":a:b:c.mp3" the file in it.
    EXPECT_FALSE(files.FindLocation(":a:b:"));
    ASSERT_TRUE(files.FindLocation(":a:b:c.mp3"));
    EXPECT_EQ(files.FindLocation(":a:b:c.mp3")->size, 3u);
}

#ifndef _WIN32
// Pipes, sockets and devices have no size to show and would hang whoever opens them to play or
// copy; only regular files are a track's file.
TEST(PlayerFiles, OnlyRegularFilesAreTrackFiles) {
    TempDir root;
    WriteFileOfSize(root.path(), "Music/file.mp3", 3);
    ASSERT_EQ(::mkfifo((root.path() / "Music/fifo.mp3").c_str(), 0600), 0);
    PlayerFiles files(root.str());
    EXPECT_TRUE(files.FindLocation(":Music:file.mp3"));
    EXPECT_FALSE(files.FindLocation(":Music:fifo.mp3"));
}

// Links are followed only as far as they stay on the player; the root itself may be reached
// through one.
TEST(PlayerFiles, FollowsLinksOnlyInsideThePlayer) {
    TempDir base;
    WriteFileOfSize(base.path(), "etc/passwd", 11);
    WriteFileOfSize(base.path(), "player-copy/Music/real/a.mp3", 5);
    const fs::path player = base.path() / "player-copy";
    const fs::path music = player / "Music";
    fs::create_directory_symlink(base.path() / "etc", music / "F00"); // out
    fs::create_directory_symlink("real", music / "F02");              // in
    fs::create_directories(music / "F03");
    fs::create_symlink(base.path() / "etc/passwd", music / "F03/out.mp3");
    fs::create_symlink("../real/a.mp3", music / "F03/in.mp3");
    fs::create_symlink("nowhere.mp3", music / "F03/dangling.mp3");
    fs::create_directory_symlink(player, base.path() / "player");

    struct Case {
        const char* location;
        std::optional<std::uint64_t> size;
    };
    const Case cases[] = {
        {":Music:F00:passwd", std::nullopt},
        {":Music:F03:out.mp3", std::nullopt},
        {":Music:F03:dangling.mp3", std::nullopt},
        {":Music:f02:A.mp3", 5},
        {":Music:F03:IN.mp3", 5},
    };
    for (const fs::path& root : {player, base.path() / "player"}) {
        PlayerFiles files(root.string());
        for (const Case& c : cases) {
            SCOPED_TRACE(root.string() + " " + c.location);
            const auto found = files.FindLocation(c.location);
            ASSERT_EQ(found.has_value(), c.size.has_value());
            if (found) {
                EXPECT_EQ(found->size, *c.size);
            }
        }
        EXPECT_FALSE(files.FindFolder({"Music", "F00"}));
        EXPECT_TRUE(files.FindFolder({"Music", "F02"}));
    }
}
#endif
