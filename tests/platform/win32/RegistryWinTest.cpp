// The registry back end against the real registry: values written and read with the raw API on
// one side and through platform::RegistryKey and the settings on the other.

#include "platform/Registry.h"
#include "core/settings/RegistrySettings.h"
#include "support/DataHome.h"
#include "support/RegistrySandbox.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using platform::RegistryKey;
using platform::RegValueKind;
using settings::RegistrySettings;

constexpr char kScratchKey[] = "Software\\Kestrune Tests\\Registry";
constexpr wchar_t kScratchKeyWide[] = L"Software\\Kestrune Tests\\Registry";
constexpr wchar_t kSettingsKeyWide[] = L"Software\\Kestrune";

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

void SetRaw(const wchar_t* keyPath, const wchar_t* name, DWORD type, const void* data,
            std::size_t size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data),
                             static_cast<DWORD>(size)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void SetRawText(const wchar_t* keyPath, const wchar_t* name, DWORD type, const std::wstring& text) {
    SetRaw(keyPath, name, type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void SetRawDword(const wchar_t* keyPath, const wchar_t* name, DWORD value) {
    SetRaw(keyPath, name, REG_DWORD, &value, sizeof value);
}

std::optional<RawValue> GetRaw(const wchar_t* keyPath, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    RawValue value;
    DWORD size = 0;
    LONG result = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        value.data.resize(size);
        result = RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size);
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

DWORD RawDword(const RawValue& value) {
    DWORD number = 0;
    if (value.data.size() == sizeof number)
        std::memcpy(&number, value.data.data(), sizeof number);
    return number;
}

bool KeyExists(const wchar_t* keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// A key of the tests' own for the back end's plain operations, removed before and after.
class RegistryKeyTest : public ::testing::Test {
protected:
    RegistryKeyTest() { Clear(); }
    ~RegistryKeyTest() override { Clear(); }
    static void Clear() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Kestrune Tests"); }
};

TEST_F(RegistryKeyTest, OpenExistingNeverCreatesButCreateDoes) {
    EXPECT_FALSE(RegistryKey::OpenExisting(kScratchKey));
    EXPECT_FALSE(KeyExists(kScratchKeyWide));

    ASSERT_TRUE(RegistryKey::Create(kScratchKey).ok());
    EXPECT_TRUE(KeyExists(kScratchKeyWide));
    EXPECT_TRUE(RegistryKey::OpenExisting("software\\KESTRUNE TESTS\\registry"));
}

TEST_F(RegistryKeyTest, ValuesWrittenByOthersKeepTheirKinds) {
    SetRawDword(kScratchKeyWide, L"Number", 5);
    SetRawText(kScratchKeyWide, L"Text", REG_SZ, L"Bj\u00F6rk \u65E5\u672C");
    SetRawText(kScratchKeyWide, L"Expandable", REG_EXPAND_SZ, L"%LOCALAPPDATA%\\Kestrune");
    const BYTE blob[] = {1, 2, 3};
    SetRaw(kScratchKeyWide, L"Blob", REG_BINARY, blob, sizeof blob);
    const unsigned long long wide = 7;
    SetRaw(kScratchKeyWide, L"Quad", REG_QWORD, &wide, sizeof wide);
    // Stored without its terminating zero, as some tools do.
    const std::wstring bare = L"no terminator";
    SetRaw(kScratchKeyWide, L"Bare", REG_SZ, bare.data(), bare.size() * sizeof(wchar_t));

    const auto key = RegistryKey::OpenExisting(kScratchKey);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->KindOf("number"), RegValueKind::Dword);
    EXPECT_EQ(key->ReadDword("Number"), 5u);
    EXPECT_EQ(key->KindOf("Text"), RegValueKind::String);
    EXPECT_EQ(key->ReadString("Text"), "Bj\xC3\xB6rk \xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(key->KindOf("Expandable"), RegValueKind::String);
    EXPECT_EQ(key->ReadString("Expandable"), "%LOCALAPPDATA%\\Kestrune"); // never expanded
    EXPECT_EQ(key->ReadString("Bare"), "no terminator");
    EXPECT_EQ(key->KindOf("Blob"), RegValueKind::Other);
    EXPECT_EQ(key->KindOf("Quad"), RegValueKind::Other);
    EXPECT_EQ(key->KindOf("None"), RegValueKind::Missing);
}

TEST_F(RegistryKeyTest, WritesReachTheRegistryWithTheirTypes) {
    auto key = RegistryKey::Create(kScratchKey);
    ASSERT_TRUE(key.ok());
    ASSERT_TRUE(key->WriteDword("Flag", 0xABCD).ok());
    ASSERT_TRUE(key->WriteString("Path", "C:\\Musik \xC3\xBC").ok());
    ASSERT_TRUE(key->WriteDword("FLAG", 1).ok()); // names ignore case: the same value

    const auto flag = GetRaw(kScratchKeyWide, L"Flag");
    ASSERT_TRUE(flag);
    EXPECT_EQ(flag->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(RawDword(*flag), 1u);
    const auto path = GetRaw(kScratchKeyWide, L"Path");
    ASSERT_TRUE(path);
    EXPECT_EQ(path->type, static_cast<DWORD>(REG_SZ));
    const std::wstring expected = L"C:\\Musik \u00FC";
    ASSERT_EQ(path->data.size(), (expected.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(std::memcmp(path->data.data(), expected.c_str(), path->data.size()), 0);
}

TEST_F(RegistryKeyTest, TwoHandlesSeeEachOthersValues) {
    auto first = RegistryKey::Create(kScratchKey);
    auto second = RegistryKey::OpenExisting(kScratchKey);
    ASSERT_TRUE(first.ok() && second);
    ASSERT_TRUE(first->WriteDword("One", 1).ok());
    ASSERT_TRUE(second->WriteDword("Two", 2).ok());
    EXPECT_EQ(first->ReadDword("Two"), 2u);
    EXPECT_EQ(second->ReadDword("One"), 1u);
}

TEST_F(RegistryKeyTest, WriteToADeletedKeyFailsNamingTheValue) {
    auto key = RegistryKey::Create(kScratchKey);
    ASSERT_TRUE(key.ok());
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKeyWide), ERROR_SUCCESS);
    const auto status = key->WriteDword("DBClickPlaySong", 1);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), "Failed to set data for 'DBClickPlaySong'");
    EXPECT_FALSE(KeyExists(kScratchKeyWide));
}

// The settings on HKEY_CURRENT_USER\Software\Kestrune, set up as an installer or the user
// would, with the raw API.
class SettingsKeyTest : public ::testing::Test {
protected:
    testsupport::RegistrySandbox registry_;
};

TEST_F(SettingsKeyTest, MissingKeyGivesTheDefaultsAndCannotBeWritten) {
    RegistrySettings read{true, false, "stale"};
    ASSERT_TRUE(settings::ReadRegistry(read).ok());
    EXPECT_FALSE(read.DBClickPlaySong);
    EXPECT_TRUE(read.OverWriteExistFile);
    EXPECT_EQ(read.ProgramFolder, "");

    const auto status = settings::WriteRegistry(RegistrySettings{true, true, "x"});
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), "Failed to set data for 'DBClickPlaySong'");
    EXPECT_FALSE(KeyExists(kSettingsKeyWide));
}

TEST_F(SettingsKeyTest, OnlyIntegersCountAndAreWrittenBackAsOneOrZero) {
    SetRawText(kSettingsKeyWide, L"DBClickPlaySong", REG_SZ, L"1");
    SetRawDword(kSettingsKeyWide, L"OverWriteExistFile", 5);
    SetRawText(kSettingsKeyWide, L"ExeFile", REG_EXPAND_SZ, L"%LOCALAPPDATA%\\Kestrune \u00C9");

    RegistrySettings read;
    read.DBClickPlaySong = true;
    read.OverWriteExistFile = false;
    ASSERT_TRUE(settings::ReadRegistry(read).ok());
    EXPECT_FALSE(read.DBClickPlaySong);
    EXPECT_TRUE(read.OverWriteExistFile);
    EXPECT_EQ(read.ProgramFolder, "%LOCALAPPDATA%\\Kestrune \xC3\x89");

    ASSERT_TRUE(settings::WriteRegistry(read).ok());
    const auto click = GetRaw(kSettingsKeyWide, L"DBClickPlaySong");
    const auto overwrite = GetRaw(kSettingsKeyWide, L"OverWriteExistFile");
    const auto exeFile = GetRaw(kSettingsKeyWide, L"ExeFile");
    ASSERT_TRUE(click && overwrite && exeFile);
    EXPECT_EQ(click->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(RawDword(*click), 0u);
    EXPECT_EQ(overwrite->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(RawDword(*overwrite), 1u);
    EXPECT_EQ(exeFile->type, static_cast<DWORD>(REG_EXPAND_SZ)); // never written
}

TEST_F(SettingsKeyTest, ExeFileOfAnotherTypeFailsTheRead) {
    SetRawDword(kSettingsKeyWide, L"DBClickPlaySong", 1);
    SetRawDword(kSettingsKeyWide, L"ExeFile", 1);
    RegistrySettings read;
    const auto status = settings::ReadRegistry(read);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), "Invalid data type for 'ExeFile'");
    EXPECT_TRUE(read.DBClickPlaySong);
    EXPECT_EQ(read.ProgramFolder, "");
}

TEST_F(SettingsKeyTest, FirstRunCreatesTheKeyWithTheProgramFolder) {
    testsupport::TempDir data;
    testsupport::ScopedDataHome dataHome(data.str());
    ASSERT_TRUE(settings::EnsureProgramFolder().ok());
    const auto exeFile = GetRaw(kSettingsKeyWide, L"ExeFile");
    ASSERT_TRUE(exeFile);
    EXPECT_EQ(exeFile->type, static_cast<DWORD>(REG_SZ));
    RegistrySettings read;
    ASSERT_TRUE(settings::ReadRegistry(read).ok());
    EXPECT_EQ(read.ProgramFolder, dataHome.ProgramFolder());
    EXPECT_TRUE(std::filesystem::is_directory(dataHome.ProgramFolder()));
}

} // namespace
