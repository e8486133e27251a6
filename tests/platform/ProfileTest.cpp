#include "platform/Profile.h"

#include "support/ProfileText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using testsupport::ProfileLines;

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Profile, MissingFileReadsAsEmptyAndWriteCreatesIt) {
    testsupport::TempDir dir;
    const auto file = (dir / "ipdes.dll").string();
    EXPECT_EQ(platform::ReadProfileString(file, "COLWIDTH", "1"), std::nullopt);

    ASSERT_TRUE(platform::WriteProfileString(file, "COLWIDTH", "1", "64").ok());
    EXPECT_EQ(platform::ReadProfileString(file, "colwidth", "1"), "64");
    EXPECT_EQ(ProfileLines(Slurp(file)), ProfileLines("[COLWIDTH]\n1=64\n"));
}

TEST(Profile, WriteKeepsTheRestOfACrlfFile) {
    testsupport::TempDir dir;
    const auto file = (dir / "ipdes.dll").string();
    std::ofstream(file, std::ios::binary) << "[Visible]\r\nSearchBox=0\r\n[COLWIDTH]\r\n1=80\r\n";

    ASSERT_TRUE(platform::WriteProfileString(file, "COLWIDTH", "2", "90").ok());
    EXPECT_EQ(ProfileLines(Slurp(file)),
              ProfileLines("[Visible]\r\nSearchBox=0\r\n[COLWIDTH]\r\n1=80\r\n2=90\r\n"));
}

TEST(Profile, FailedWriteNamesTheFile) {
    testsupport::TempDir dir;
    const auto file = (dir / "gone" / "ipdes.dll").string();
    const auto status = platform::WriteProfileString(file, "COLWIDTH", "1", "80");
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), "Unable to write to " + file);
}

} // namespace
