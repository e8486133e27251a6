#include "core/settings/LayoutFile.h"

#include "platform/Paths.h"
#include "support/ProfileText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <fstream>
#include <sstream>

namespace {

using settings::Layout;
using ::testing::ElementsAre;

class LayoutFileTest : public ::testing::Test {
protected:
    std::filesystem::path File() const { return dir_ / "ipdes.dll"; }
    void WriteFile(const std::string& text) const {
        std::ofstream(File(), std::ios::binary) << text;
    }
    std::string ReadFile() const {
        std::ifstream in(File(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    Layout Read() const {
        Layout layout;
        EXPECT_TRUE(settings::ReadIniFile(dir_.str(), layout).ok());
        return layout;
    }

    testsupport::TempDir dir_;
};

TEST_F(LayoutFileTest, MissingOrEmptyFileShowsAllAtWidth80) {
    for (bool create : {false, true}) {
        if (create)
            WriteFile("");
        const auto layout = Read();
        EXPECT_TRUE(layout.iPodSelector && layout.iPodSelectorCaption && layout.SearchBox &&
                    layout.SearchBoxCaption && layout.ArtistList && layout.AlbumList &&
                    layout.FileTypeList);
        EXPECT_THAT(layout.ColWidthList, ElementsAre(0, 80, 80, 80, 80, 80, 80, 80, 80, 80, 80));
    }
}

TEST_F(LayoutFileTest, ZeroHidesAndBadValuesShow) {
    WriteFile("[visible]\nSEARCHBOX=0\nAlbumList=0x0\nArtistList=no\niPodSelector=2\n");
    const auto layout = Read();
    EXPECT_FALSE(layout.SearchBox);
    EXPECT_FALSE(layout.SearchBoxCaption);
    EXPECT_FALSE(layout.AlbumList);
    EXPECT_TRUE(layout.ArtistList);
    EXPECT_TRUE(layout.iPodSelector && layout.iPodSelectorCaption && layout.FileTypeList);
}

TEST_F(LayoutFileTest, WidthsFromTheFile) {
    WriteFile("[COLWIDTH]\r\n0=200\r\n3=0\r\n5=0x40\r\n7=wide\r\n10=-5\r\n");
    EXPECT_THAT(Read().ColWidthList, ElementsAre(0, 80, 80, 0, 80, 64, 80, 80, 80, 80, -5));
}

TEST_F(LayoutFileTest, WriteSetsWidthsAndKeepsOtherSections) {
    WriteFile("[Visible]\nSearchBox=0\n\n[COLWIDTH]\n3=0\nnote=kept\n");
    ASSERT_TRUE(settings::WriteIniFile(dir_.str(), {16, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}).ok());
    EXPECT_EQ(
        testsupport::ProfileLines(ReadFile()),
        testsupport::ProfileLines("[Visible]\nSearchBox=0\n\n[COLWIDTH]\n3=3\nnote=kept\n0=16\n"
                                  "1=1\n2=2\n4=4\n5=5\n6=6\n7=7\n8=8\n9=9\n10=10\n"));
    EXPECT_THAT(Read().ColWidthList, ElementsAre(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10));
}

TEST_F(LayoutFileTest, WriteFailureNamesTheFile) {
    const auto folder = (dir_ / "missing").string();
    const auto status = settings::WriteIniFile(folder, {});
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(),
              "Unable to write to " + folder + platform::kPathSeparator + "ipdes.dll");
}

} // namespace
