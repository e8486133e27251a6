#include "settings/ProgramFiles.h"

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramFile, JoinsFolderAndName) {
    EXPECT_EQ(settings::ProgramFile("/opt/k", "apces.cnt"), "/opt/k/apces.cnt");
}

TEST(ProgramFile, EmptyFolderUsesTheCreatedDefaultFolder) {
    testsupport::TempDir data;
    std::string path;
    {
        testsupport::ScopedEnv dataHome("XDG_DATA_HOME", data.str());
        path = settings::ProgramFile("", "ipdes.dll");
    }
    EXPECT_EQ(path, data.str() + "/kestrune/ipdes.dll");
    EXPECT_TRUE(std::filesystem::is_directory(data / "kestrune"));
}

} // namespace
