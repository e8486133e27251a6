#include "platform/AppendFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using platform::AppendFile;

// The error log's tests cover creating, moving aside while open and appending; these cover
// what they do not reach.
TEST(AppendFile, WritesLandAtTheEndWhateverWasReadOrWrittenByAnother) {
    testsupport::TempDir dir;
    const auto path = (dir / "log").string();
    auto first = AppendFile::Open(path);
    auto second = AppendFile::Open(path);
    ASSERT_TRUE(first.ok() && second.ok()) << first.message();
    ASSERT_TRUE(first->Append("1\n").ok());
    ASSERT_TRUE(second->Append("2\n").ok());
    EXPECT_EQ(*first->Read(0, 1), "1");
    ASSERT_TRUE(first->Append("3\n").ok());
    EXPECT_EQ(*second->Size(), 6u);
    EXPECT_EQ(*second->Read(2, 100), "2\n3\n"); // short where the file ends
    EXPECT_EQ(*second->Read(10, 5), "");
    first->Close();
    second->Close();
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "1\n2\n3\n");
}

TEST(AppendFile, AFolderOrAMissingFolderIsRefused) {
    testsupport::TempDir dir;
    EXPECT_FALSE(AppendFile::Open(dir.str()).ok());
    EXPECT_FALSE(AppendFile::Open((dir / "missing" / "log").string()).ok());
    EXPECT_FALSE(platform::MoveFileReplacing((dir / "none").string(), (dir / "x").string()).ok());
}

} // namespace
