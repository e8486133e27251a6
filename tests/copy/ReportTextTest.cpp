#include "core/copy/ReportText.h"
#include "core/copy/TargetNames.h"

#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <span>

namespace {

constexpr bool kWindows = platform::kPathSeparator == '\\';

using copy::TCopyOutcome;

copy::TEntryResult CopyAt(std::string path) {
    return {TCopyOutcome::Copied, std::move(path), {}};
}

copy::TEntryResult Without(TCopyOutcome outcome, std::string reason = {}) {
    return {outcome, {}, std::move(reason)};
}

} // namespace

TEST(OutcomeText, IsThePathOfACopyOrTheTextOfItsKind) {
    const std::pair<copy::TEntryResult, std::string> cases[] = {
        {CopyAt("/m/Copy Terminated.mp3"), "/m/Copy Terminated.mp3"},
        {{TCopyOutcome::Numbered, "/m/a(1).mp3", {}}, "/m/a(1).mp3"},
        {Without(TCopyOutcome::Stopped), " Copy Terminated."},
        {Without(TCopyOutcome::NoRoom), " Diskspace is not enough, please recopy the file."},
        {Without(TCopyOutcome::SourceMissing), " Source file not found."},
        {Without(TCopyOutcome::Failed, "the disk is full"), " Copy failed: the disk is full"},
    };
    for (const auto& [result, text] : cases)
        EXPECT_EQ(copy::OutcomeText(result), text);
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
        EXPECT_EQ(copy::ReportPathText(CopyAt(c.entry)), c.shown) << c.entry;
    // Either way '/' separates, and a text says why there is no copy: left as it is.
    EXPECT_EQ(copy::ReportPathText(CopyAt("/music//x.mp3")), "/music/x.mp3");
    EXPECT_EQ(copy::ReportPathText(Without(TCopyOutcome::Failed, "a//b")),
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
    EXPECT_EQ(copy::ReportPathText(CopyAt(planned)), dialogPath);
}

TEST(FolderToOpen, IsTheFolderOfTheFirstEntryThatNamesACopy) {
    const std::string sep(1, platform::kPathSeparator);
    const std::string music = sep + "home" + sep + "me" + sep + "Music";
    const std::string other = sep + "tmp";
    struct Case {
        std::vector<copy::TEntryResult> entries;
        std::optional<std::string> folder;
    };
    const Case cases[] = {
        {{CopyAt(music + sep + "One.mp3"), CopyAt(other + sep + "Two.mp3")}, music},
        {{Without(TCopyOutcome::SourceMissing),
          Without(TCopyOutcome::Stopped),
          {TCopyOutcome::Numbered, other + sep + "Two(1).mp3", {}}},
         other},
        {{Without(TCopyOutcome::Failed, "no room"), Without(TCopyOutcome::NoRoom)}, std::nullopt},
        {{}, std::nullopt},
        {{CopyAt(sep + "One.mp3")}, sep},
    };
    for (const Case& c : cases)
        EXPECT_EQ(copy::FolderToOpen(c.entries), c.folder) << c.entries.size() << " entries";
    if (kWindows) {
        // The root of a drive keeps its separator, written once or twice.
        EXPECT_EQ(copy::FolderToOpen({CopyAt("E:\\\\Song.mp3")}), "E:\\");
        EXPECT_EQ(copy::FolderToOpen({CopyAt("E:\\Song.mp3")}), "E:\\");
    }
}
