#include "core/copy/CopyThread.h"
#include "core/copy/ReportText.h"
#include "core/copy/TargetNames.h"

#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <span>

namespace {

constexpr bool kWindows = platform::kPathSeparator == '\\';

} // namespace

TEST(IsOutcomeText, KnowsTheFourTextsAndNoPath) {
    EXPECT_TRUE(copy::IsOutcomeText(copy::kCopyTerminated));
    EXPECT_TRUE(copy::IsOutcomeText(copy::kDiskspaceNotEnough));
    EXPECT_TRUE(copy::IsOutcomeText(copy::kSourceNotFound));
    EXPECT_TRUE(copy::IsOutcomeText(std::string(copy::kCopyFailed) + "the disk is full"));
    EXPECT_FALSE(copy::IsOutcomeText("/home/me/Music/Copy Terminated.mp3"));
    EXPECT_FALSE(copy::IsOutcomeText("C:\\Music\\ Copy failed.mp3"));
    EXPECT_FALSE(copy::IsOutcomeText(""));
}

TEST(ReportPathText, ShowsADoubledSeparatorAsOne) {
    struct Case {
        const char* entry;
        const char* shown;
    };
    const Case windows[] = {
        {"E:\\\\Song.mp3", "E:\\Song.mp3"},
        {"C:\\Music\\\\Song.mp3", "C:\\Music\\Song.mp3"},
        {"C:\\Music\\Song.mp3", "C:\\Music\\Song.mp3"},
        // A network folder keeps the pair that begins it.
        {"\\\\server\\share\\\\Song.mp3", "\\\\server\\share\\Song.mp3"},
    };
    const Case posix[] = {
        {"//Song.mp3", "//Song.mp3"},
        {"/media//Music/Song.mp3", "/media/Music/Song.mp3"},
        {"/media/Music/Song.mp3", "/media/Music/Song.mp3"},
        // Not a separator here: part of the name.
        {"/media/a\\\\b.mp3", "/media/a\\\\b.mp3"},
    };
    for (const Case& c : kWindows ? std::span<const Case>(windows) : std::span<const Case>(posix))
        EXPECT_EQ(copy::ReportPathText(c.entry), c.shown) << c.entry;
    // Either way '/' separates, and a text says why there is no copy: left as it is.
    EXPECT_EQ(copy::ReportPathText("/music//x.mp3"), "/music/x.mp3");
    EXPECT_EQ(copy::ReportPathText(std::string(copy::kCopyFailed) + "a//b"),
              std::string(copy::kCopyFailed) + "a//b");
}

TEST(ReportPathText, ARootFolderFromTheDialogGivesOneSeparator) {
    // The dialog's path at the root of a drive (or of the file system) gives the root folder;
    // the planned path and the report both have one separator after it.
    const std::string dialogPath = kWindows ? "E:\\Song.mp3" : "/Song.mp3";
    const std::string folder = copy::TargetFolderFromDialogPath(dialogPath);
    EXPECT_EQ(folder, kWindows ? "E:\\" : "/");
    const std::string planned = copy::JoinTargetPath(folder, "Song.mp3");
    EXPECT_EQ(planned, dialogPath);
    EXPECT_EQ(copy::ReportPathText(planned), dialogPath);
}

TEST(FolderToOpen, IsTheFolderOfTheFirstEntryThatNamesACopy) {
    const std::string sep(1, platform::kPathSeparator);
    const std::string music = sep + "home" + sep + "me" + sep + "Music";
    const std::string other = sep + "tmp";
    struct Case {
        std::vector<std::string> entries;
        std::optional<std::string> folder;
    };
    const Case cases[] = {
        {{music + sep + "One.mp3", other + sep + "Two.mp3"}, music},
        {{copy::kSourceNotFound, copy::kCopyTerminated, other + sep + "Two.mp3"}, other},
        {{std::string(copy::kCopyFailed) + "no room", copy::kDiskspaceNotEnough}, std::nullopt},
        {{}, std::nullopt},
        {{sep + "One.mp3"}, sep},
    };
    for (const Case& c : cases)
        EXPECT_EQ(copy::FolderToOpen(c.entries), c.folder) << ::testing::PrintToString(c.entries);
    if (kWindows) {
        // The root of a drive keeps its separator, written once or twice.
        EXPECT_EQ(copy::FolderToOpen({"E:\\\\Song.mp3"}), "E:\\");
        EXPECT_EQ(copy::FolderToOpen({"E:\\Song.mp3"}), "E:\\");
    }
}
