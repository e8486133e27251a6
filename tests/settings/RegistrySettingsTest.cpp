#include "core/settings/RegistrySettings.h"

#include "platform/Folders.h"
#include "platform/Registry.h"
#include "support/DataHome.h"
#include "support/RegistrySandbox.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

namespace {

using platform::RegistryKey;
using settings::RegistrySettings;

// A registry without the key and a data folder of their own for each test.
class RegistrySettingsTest : public ::testing::Test {
protected:
    static RegistryKey MakeKey() {
        return std::move(RegistryKey::Create(settings::kRegistryKey).value());
    }

    testsupport::RegistrySandbox registry_;
    testsupport::TempDir data_;
    testsupport::ScopedDataHome dataHome_{data_.str()};
};

TEST_F(RegistrySettingsTest, MissingKeyGivesDefaults) {
    RegistrySettings read{true, false, "stale"};
    ASSERT_TRUE(settings::ReadRegistry(read).ok());
    EXPECT_FALSE(read.DBClickPlaySong);
    EXPECT_TRUE(read.OverWriteExistFile);
    EXPECT_EQ(read.ProgramFolder, "");
}

TEST_F(RegistrySettingsTest, OnlyIntegersCountAndAreWrittenBackAsOne) {
    auto key = MakeKey();
    ASSERT_TRUE(key.WriteString("DBClickPlaySong", "1").ok());
    ASSERT_TRUE(key.WriteDword("OverWriteExistFile", 5).ok());
    ASSERT_TRUE(key.WriteString("ExeFile", "/opt/kestrune").ok());

    RegistrySettings read;
    read.OverWriteExistFile = false;
    ASSERT_TRUE(settings::ReadRegistry(read).ok());
    EXPECT_FALSE(read.DBClickPlaySong);
    EXPECT_TRUE(read.OverWriteExistFile);
    EXPECT_EQ(read.ProgramFolder, "/opt/kestrune");

    ASSERT_TRUE(settings::WriteRegistry(read).ok());
    EXPECT_EQ(key.KindOf("DBClickPlaySong"), platform::RegValueKind::Dword);
    EXPECT_EQ(key.ReadDword("DBClickPlaySong"), 0u);
    EXPECT_EQ(key.ReadDword("OverWriteExistFile"), 1u);
    EXPECT_EQ(key.ReadString("ExeFile"), "/opt/kestrune");
}

TEST_F(RegistrySettingsTest, ExeFileOfAnotherKindFailsAndKeepsWhatWasRead) {
    auto key = MakeKey();
    ASSERT_TRUE(key.WriteDword("DBClickPlaySong", 1).ok());
    ASSERT_TRUE(key.WriteString("OverWriteExistFile", "0").ok());
    ASSERT_TRUE(key.WriteDword("ExeFile", 1).ok());

    RegistrySettings read;
    const auto status = settings::ReadRegistry(read);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), "Invalid data type for 'ExeFile'");
    EXPECT_TRUE(read.DBClickPlaySong);
    EXPECT_TRUE(read.OverWriteExistFile);
    EXPECT_EQ(read.ProgramFolder, "");
}

TEST_F(RegistrySettingsTest, WriteWithoutKeyFailsAndStoresNothing) {
    const auto status = settings::WriteRegistry(RegistrySettings{true, true, "/x"});
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), "Failed to set data for 'DBClickPlaySong'");
    EXPECT_TRUE(registry_.Untouched());
}

TEST_F(RegistrySettingsTest, FirstRunCreatesKeyAndDefaultFolder) {
    ASSERT_TRUE(settings::EnsureProgramFolder().ok());
    RegistrySettings read;
    ASSERT_TRUE(settings::ReadRegistry(read).ok());
    EXPECT_EQ(read.ProgramFolder, platform::DefaultProgramFolder());
    EXPECT_TRUE(std::filesystem::is_directory(read.ProgramFolder));
    EXPECT_TRUE(read.OverWriteExistFile);
}

TEST_F(RegistrySettingsTest, FirstRunNeverOverwritesExeFile) {
    testsupport::TempDir installed;
    auto key = MakeKey();
    ASSERT_TRUE(key.WriteString("ExeFile", installed.str()).ok());
    ASSERT_TRUE(settings::EnsureProgramFolder().ok());
    EXPECT_EQ(key.ReadString("ExeFile"), installed.str());
    EXPECT_FALSE(std::filesystem::exists(platform::DefaultProgramFolder()));

    ASSERT_TRUE(key.WriteString("ExeFile", installed.str() + "/gone").ok());
    EXPECT_FALSE(settings::EnsureProgramFolder().ok());
    EXPECT_EQ(key.ReadString("ExeFile"), installed.str() + "/gone");
}

} // namespace
