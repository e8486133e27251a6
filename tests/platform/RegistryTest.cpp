#include "platform/Registry.h"

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

namespace {

using platform::RegistryKey;
using platform::RegValueKind;

constexpr char kKey[] = "Software\\Kestrune";

// Points the store at a fresh folder for one test.
class RegistryTest : public ::testing::Test {
protected:
    std::filesystem::path Store() const { return config_ / "kestrune" / "registry.reg"; }
    void WriteStore(const std::string& text) const {
        std::filesystem::create_directories(Store().parent_path());
        std::ofstream(Store(), std::ios::binary) << text;
    }
    std::string ReadStore() const {
        std::ifstream in(Store(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    testsupport::TempDir config_;
    testsupport::ScopedEnv configHome_{"XDG_CONFIG_HOME", config_.str()};
};

TEST_F(RegistryTest, OpenExistingNeverCreatesButCreateDoes) {
    EXPECT_FALSE(RegistryKey::OpenExisting(kKey));
    EXPECT_FALSE(std::filesystem::exists(Store()));

    ASSERT_TRUE(RegistryKey::Create(kKey).ok());
    EXPECT_TRUE(RegistryKey::OpenExisting("software\\KESTRUNE"));
    EXPECT_NE(ReadStore().find("[HKEY_CURRENT_USER\\Software\\Kestrune]\n"), std::string::npos);
}

TEST_F(RegistryTest, ValuesKeepTheirKinds) {
    WriteStore("Windows Registry Editor Version 5.00\r\n\r\n"
               "[HKEY_CURRENT_USER\\Software\\Kestrune]\r\n"
               "\"DBClickPlaySong\"=dword:00000005\r\n"
               "\"OverWriteExistFile\"=\"1\"\r\n"
               "\"ExeFile\"=\"C:\\\\Program Files\\\\K \\\"x\\\"\"\r\n"
               "\"Blob\"=hex:01,02,\\\r\n  03\r\n");
    const auto key = RegistryKey::OpenExisting(kKey);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->KindOf("dbclickplaysong"), RegValueKind::Dword);
    EXPECT_EQ(key->ReadDword("DBClickPlaySong"), 5u);
    EXPECT_EQ(key->KindOf("OverWriteExistFile"), RegValueKind::String);
    EXPECT_EQ(key->ReadString("ExeFile"), "C:\\Program Files\\K \"x\"");
    EXPECT_EQ(key->KindOf("Blob"), RegValueKind::Other);
    EXPECT_EQ(key->KindOf("None"), RegValueKind::Missing);
}

TEST_F(RegistryTest, WritesReplaceInPlaceAndKeepOtherLines) {
    const std::string other = "[HKEY_CURRENT_USER\\Software\\Other]\n\"A\"=hex:01,\\\n  02\n";
    WriteStore("[HKEY_CURRENT_USER\\Software\\Kestrune]\n\"Flag\"=dword:00000000\n\n" + other);
    auto key = RegistryKey::OpenExisting(kKey);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->WriteDword("FLAG", 0xABCD).ok());
    ASSERT_TRUE(key->WriteString("Path", "a\\b\"c").ok());
    EXPECT_EQ(ReadStore(), "[HKEY_CURRENT_USER\\Software\\Kestrune]\n\"Flag\"=dword:0000abcd\n"
                           "\"Path\"=\"a\\\\b\\\"c\"\n\n" +
                               other);
    EXPECT_EQ(key->ReadString("path"), "a\\b\"c");
}

TEST_F(RegistryTest, TwoHandlesDoNotLoseEachOthersValues) {
    auto first = RegistryKey::Create(kKey);
    auto second = RegistryKey::OpenExisting(kKey);
    ASSERT_TRUE(first.ok() && second);
    ASSERT_TRUE(first->WriteDword("One", 1).ok());
    ASSERT_TRUE(second->WriteDword("Two", 2).ok());
    EXPECT_EQ(first->ReadDword("Two"), 2u);
    EXPECT_EQ(second->ReadDword("One"), 1u);
}

TEST_F(RegistryTest, WriteToAVanishedKeyFails) {
    auto key = RegistryKey::Create(kKey);
    ASSERT_TRUE(key.ok());
    WriteStore("[HKEY_CURRENT_USER\\Software\\Other]\n");
    const auto status = key->WriteDword("DBClickPlaySong", 1);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), "Failed to set data for 'DBClickPlaySong'");
    EXPECT_EQ(ReadStore(), "[HKEY_CURRENT_USER\\Software\\Other]\n");
}

} // namespace
