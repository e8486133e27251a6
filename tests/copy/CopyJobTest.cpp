#include "core/copy/CopyJob.h"

#include "DatabaseBuilder.h"
#include "core/device/TiPod.h"
#include "support/PlayerFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using dbbuild::MakeTrack;

namespace {

class CopyJobSetUp : public ::testing::Test {
protected:
    void SetUp() override {
        dbbuild::DatabaseBuilder builder;
        // Two tracks of one title (case aside), a folder and a name in another letter case, a
        // location without extension, one that would leave the player, a missing file.
        builder.AddTrack(MakeTrack(1, {{1, "Drive"}, {2, ":iPod_Control:Music:F00:A.mp3"}}));
        builder.AddTrack(MakeTrack(2, {{1, "drive"}, {2, ":iPod_Control:music:f01:b.M4A"}}));
        builder.AddTrack(MakeTrack(3, {{1, "What? / Why:"}, {2, ":iPod_Control:Music:F00:C"}}));
        builder.AddTrack(MakeTrack(4, {{1, "Escape"}, {2, ":iPod_Control:..:..:x.mp3"}}));
        builder.AddTrack(MakeTrack(5, {{1, "Gone"}, {2, ":iPod_Control:Music:F00:D.wav"}}));
        testsupport::WriteDatabase(root_.path(), builder.Build());
        testsupport::WriteFileOfSize(root_.path(), "iPod_Control/Music/F00/A.mp3", 10);
        testsupport::WriteFileOfSize(root_.path(), "iPod_Control/Music/F01/B.m4a", 20);
        testsupport::WriteFileOfSize(root_.path(), "iPod_Control/Music/F00/C", 30);
        library_.iPodPath = root_.str();
        ASSERT_EQ(library_.LoadDatabase().outcome, TLoadReport::Outcome::Loaded);
    }

    std::string OnPlayer(const std::string& relative) const {
        return (root_.path() / fs::path(relative).make_preferred()).string();
    }

    testsupport::TempDir root_;
    TiPod library_;
};

} // namespace

TEST_F(CopyJobSetUp, GivesEachTrackItsOwnFileAndAName) {
    const copy::TCopyRequest job = copy::PlanJob(library_, {1, 0, 2, 3, 4}, "music", true);
    EXPECT_EQ(job.targetFolder, "music");
    EXPECT_EQ(job.playerRoot, root_.str());
    EXPECT_TRUE(job.overwrite);
    const std::vector<copy::TCopyEntry> expected{
        {"drive", OnPlayer("iPod_Control/Music/F01/B.m4a"), "drive.M4A"},
        {"Drive", OnPlayer("iPod_Control/Music/F00/A.mp3"), "Drive.mp3"},
        {"What? / Why:", OnPlayer("iPod_Control/Music/F00/C"), "What  Why"},
        {"Escape", "", "Escape.mp3"},
        {"Gone", "", "Gone.wav"},
    };
    ASSERT_EQ(job.entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(job.entries[i].title, expected[i].title);
        EXPECT_EQ(job.entries[i].source, expected[i].source);
        EXPECT_EQ(job.entries[i].name, expected[i].name);
    }
    const char sep = fs::path::preferred_separator;
    EXPECT_EQ(job.PlannedPath(1), std::string("music") + sep + "Drive.mp3");
}

TEST_F(CopyJobSetUp, NeverNamesAFileOffThePlayer) {
    testsupport::TempDir outside;
    testsupport::WriteFileOfSize(outside.path(), "A.mp3", 10);
    std::error_code failed;
    fs::remove_all(root_.path() / "iPod_Control" / "Music" / "F00");
    fs::create_directory_symlink(outside.path(), root_.path() / "iPod_Control" / "Music" / "F00",
                                 failed);
    if (failed)
        GTEST_SKIP() << "no folder links here: " << failed.message();
    EXPECT_EQ(copy::PlanJob(library_, {0}, "music", false).entries.at(0).source, "");
}

TEST_F(CopyJobSetUp, ProposesTheFirstTracksNameAndExtension) {
    const auto proposal = copy::ProposeDialog(library_, 1);
    EXPECT_EQ(proposal.fileName, "drive.M4A");
    EXPECT_EQ(proposal.filter, ".M4A");
    const auto bare = copy::ProposeDialog(library_, 2);
    EXPECT_EQ(bare.fileName, "What  Why");
    EXPECT_EQ(bare.filter, "");
    EXPECT_STREQ(copy::kFolderDialogTitle, "Select Directory...");
}
