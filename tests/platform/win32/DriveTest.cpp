// A player on a drive letter that Windows reports as removable, and the same folder on a fixed
// drive letter. scripts/test-windows.sh maps both under Wine (a copy of the generated-40 player
// fixture, labelled by its .windows-label file) and names them in the environment.

#include "core/device/DevicePath.h"
#include "core/device/DeviceScan.h"
#include "core/device/TiPod.h"
#include "platform/Drives.h"
#include "platform/Files.h"
#include "support/CliListing.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

std::string Setting(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

class MappedDrives : public ::testing::Test {
protected:
    void SetUp() override {
        removable_ = Setting("KESTRUNE_TEST_REMOVABLE_DRIVE");
        fixed_ = Setting("KESTRUNE_TEST_FIXED_DRIVE");
        label_ = Setting("KESTRUNE_TEST_PLAYER_LABEL");
        ASSERT_EQ(removable_.size(), 2u) << "run scripts/test-windows.sh, which maps the drives";
        ASSERT_EQ(fixed_.size(), 2u) << "run scripts/test-windows.sh, which maps the drives";
        ASSERT_FALSE(label_.empty());
        // Both letters show the player; only their drive types differ.
        ASSERT_TRUE(platform::DirectoryExists(removable_ + "\\iPod_Control\\iTunes\\"));
        ASSERT_TRUE(platform::DirectoryExists(fixed_ + "\\iPod_Control\\iTunes\\"));
    }

    static std::string Upper(std::string drive) {
        drive[0] = static_cast<char>(drive[0] - 'a' + 'A');
        return drive;
    }

    std::string removable_, fixed_, label_;
};

TEST_F(MappedDrives, TheScanListsTheRemovableLetterOnly) {
    const auto roots = platform::RemovableRoots();
    EXPECT_NE(std::find(roots.begin(), roots.end(), removable_), roots.end());
    EXPECT_EQ(std::find(roots.begin(), roots.end(), fixed_), roots.end());
    EXPECT_TRUE(std::is_sorted(roots.begin(), roots.end()));
    for (const auto& root : roots) {
        ASSERT_EQ(root.size(), 2u);
        EXPECT_TRUE(root[0] >= 'c' && root[0] <= 'z') << root;
        EXPECT_EQ(root[1], ':');
        const wchar_t volume[] = {static_cast<wchar_t>(root[0]), L':', L'\\', L'\0'};
        EXPECT_EQ(GetDriveTypeW(volume), static_cast<UINT>(DRIVE_REMOVABLE)) << root;
    }
    const wchar_t fixedVolume[] = {static_cast<wchar_t>(fixed_[0]), L':', L'\\', L'\0'};
    EXPECT_EQ(GetDriveTypeW(fixedVolume), static_cast<UINT>(DRIVE_FIXED));
}

TEST_F(MappedDrives, ThePlayerIsFoundWithItsLabelInLowerCase) {
    const auto label = platform::VolumeLabel(removable_);
    ASSERT_TRUE(label.ok()) << label.message();
    EXPECT_EQ(*label, label_);

    std::vector<std::string> failures;
    const auto players =
        device::ScanPlayers({platform::RemovableRoots, {}},
                            [&](const std::string& message) { failures.push_back(message); });
    EXPECT_TRUE(failures.empty());
    ASSERT_EQ(players.size(), 1u);
    EXPECT_EQ(players[0].root, removable_);
    std::string lowerLabel = label_;
    std::transform(lowerLabel.begin(), lowerLabel.end(), lowerLabel.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    EXPECT_EQ(players[0].entry, " [" + lowerLabel + "]  " + removable_);
    EXPECT_EQ(device::RootFromEntry(players[0].entry), removable_);
}

TEST_F(MappedDrives, TheCommandLineListsThePlayerOnTheDriveLetter) {
    testsupport::TempDir scratch;
    const std::string drive = Upper(removable_); // as a user types it: "E:"
    testsupport::ExpectListingMatches(testsupport::RunCli({"list", drive}, scratch),
                                      drive + "\\expected.jsonl");
}

TEST_F(MappedDrives, TheLibraryLoadsFromTheDriveRootWhateverItsCurrentFolder) {
    // Each drive has a current folder of its own; "e:" alone would name it.
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    std::wstring inside(1, static_cast<wchar_t>(removable_[0]));
    inside += L":\\iPod_Control";
    ASSERT_TRUE(SetCurrentDirectoryW(inside.c_str()));
    TiPod library;
    library.iPodPath = removable_;
    const TLoadReport report = library.LoadDatabase();
    const auto rootEntries = platform::ListDirectory(removable_);
    SetCurrentDirectoryW(saved);

    EXPECT_EQ(report.outcome, TLoadReport::Outcome::Loaded) << report.message;
    EXPECT_EQ(library.GetSongCount(), 40);
    ASSERT_TRUE(rootEntries);
    EXPECT_TRUE(
        std::any_of(rootEntries->begin(), rootEntries->end(), [](const platform::DirEntry& entry) {
            return entry.name == "expected.jsonl";
        }));
}

TEST_F(MappedDrives, LinksOnThePlayerAreFollowedOnlyWhenTheyStayOnIt) {
    // Planted by scripts/test-windows.sh: F98 leads to F00, F99 to a folder off the player.
    ASSERT_TRUE(platform::DirectoryExists(removable_ + "\\iPod_Control\\Music\\F99\\"));
    device::PlayerFiles files(removable_);
    const auto outside = files.FindLocation(":iPod_Control:Music:F99:secret.mp3");
    const auto inside = files.FindLocation(":iPod_Control:Music:F98:RXAA.wav");
    const auto direct = files.FindLocation(":iPod_Control:Music:F00:RXAA.wav");
    EXPECT_FALSE(outside) << outside->path;
    ASSERT_TRUE(inside);
    ASSERT_TRUE(direct);
    EXPECT_EQ(inside->size, direct->size);
}

TEST_F(MappedDrives, FreeSpaceOfThePlayerDrive) {
    const auto free = platform::FreeSpace(removable_);
    ASSERT_TRUE(free.ok()) << free.message();
    EXPECT_GT(*free, 0u);
    ULARGE_INTEGER available{};
    const wchar_t volume[] = {static_cast<wchar_t>(removable_[0]), L':', L'\\', L'\0'};
    ASSERT_TRUE(GetDiskFreeSpaceExW(volume, &available, nullptr, nullptr));
    const std::uint64_t raw = available.QuadPart;
    EXPECT_LT(*free > raw ? *free - raw : raw - *free, 256ull * 1024 * 1024);
}

} // namespace
