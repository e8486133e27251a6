#include "core/settings/ProgramFiles.h"

#include "platform/Paths.h"
#include "support/DataHome.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramFile, JoinsFolderAndName) {
    EXPECT_EQ(settings::ProgramFile("/opt/k", "apces.cnt"),
              std::string("/opt/k") + platform::kPathSeparator + "apces.cnt");
}

TEST(ProgramFile, EmptyFolderUsesTheCreatedDefaultFolder) {
    testsupport::TempDir data;
    std::string path, folder;
    {
        testsupport::ScopedDataHome dataHome(data.str());
        path = settings::ProgramFile("", "ipdes.dll");
        folder = dataHome.ProgramFolder();
    }
    EXPECT_EQ(path, folder + platform::kPathSeparator + "ipdes.dll");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

} // namespace
