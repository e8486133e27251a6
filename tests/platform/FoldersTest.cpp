#include "platform/Folders.h"
#include "platform/Paths.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(RealFolderPath, GivesOneSpellingOfAFolder) {
    testsupport::TempDir root;
    fs::create_directories(root.path() / "a" / "b");
    const auto plain = platform::RealFolderPath((root.path() / "a").string());
    ASSERT_TRUE(plain);
    EXPECT_TRUE(fs::equivalent(*plain, root.path() / "a"));
    EXPECT_NE(plain->back(), static_cast<char>(fs::path::preferred_separator));
    const std::string separator(1, static_cast<char>(fs::path::preferred_separator));
    for (const fs::path& other : {fs::path((root.path() / "a").string() + separator),
                                  root.path() / "a" / "b" / "..", root.path() / "a" / "."})
        EXPECT_EQ(platform::RealFolderPath(other.string()), plain) << other;
}

TEST(RealFolderPath, NamesNoFileAndNothingMissing) {
    testsupport::TempDir root;
    { std::ofstream(root.path() / "file"); }
    EXPECT_EQ(platform::RealFolderPath((root.path() / "file").string()), std::nullopt);
    EXPECT_EQ(platform::RealFolderPath((root.path() / "missing").string()), std::nullopt);
    EXPECT_EQ(platform::RealFolderPath(""), std::nullopt);
}

TEST(ExecutableFolder, HoldsTheRunningProgram) {
    const std::string folder = platform::ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(fs::path(folder).is_absolute()) << folder;
    EXPECT_NE(folder.back(), platform::kPathSeparator);
    // Whatever the current folder: the answer must not depend on how the program was started.
    const fs::path here = fs::current_path();
    fs::current_path(fs::temp_directory_path());
    EXPECT_EQ(platform::ExecutableFolder(), folder);
    fs::current_path(here);
    const bool found = fs::exists(fs::path(folder) / "platform_tests") ||
                       fs::exists(fs::path(folder) / "platform_tests.exe");
    EXPECT_TRUE(found) << folder;
}

} // namespace
