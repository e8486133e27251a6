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
    copy::CopyJob job;
    job.TitleList.push_back("from before"); // appended to, never emptied
    job.SourceFiles.push_back("s");
    job.TargetFiles.push_back("t");
    copy::AddTracksToJob(library_, {1, 0, 2, 3, 4}, "music", job);
    const char sep = fs::path::preferred_separator;
    const std::string folder = std::string("music") + sep;
    EXPECT_EQ(job.TitleList, (std::vector<std::string>{"from before", "drive", "Drive",
                                                       "What? / Why:", "Escape", "Gone"}));
    EXPECT_EQ(job.SourceFiles,
              (std::vector<std::string>{"s", OnPlayer("iPod_Control/Music/F01/B.m4a"),
                                        OnPlayer("iPod_Control/Music/F00/A.mp3"),
                                        OnPlayer("iPod_Control/Music/F00/C"), "", ""}));
    EXPECT_EQ(job.TargetFiles,
              (std::vector<std::string>{"t", folder + "drive.M4A", folder + "Drive.mp3",
                                        folder + "What  Why", folder + "Escape.mp3",
                                        folder + "Gone.wav"}));
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
    copy::CopyJob job;
    copy::AddTracksToJob(library_, {0}, "music", job);
    EXPECT_EQ(job.SourceFiles, std::vector<std::string>{""});
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
