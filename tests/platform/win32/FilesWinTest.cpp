// The file, drive and shell calls of the Windows back end against the real API: long paths,
// names beyond ASCII, 64-bit sizes, sharing, drive roots and free space.

#include "core/copy/NamePlan.h"
#include "core/device/DeviceScan.h"
#include "platform/CopyFiles.h"
#include "core/device/TiPod.h"
#include "platform/Drives.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "support/PlayerFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

using testsupport::TempDir;

std::wstring Wide(const std::string& text) {
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(
                          CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
}

bool Lists(const std::vector<platform::DirEntry>& entries, const std::string& name) {
    return std::any_of(entries.begin(), entries.end(), [&](const platform::DirEntry& entry) {
        return CompareStringOrdinal(Wide(entry.name).c_str(), -1, Wide(name).c_str(), -1, TRUE) ==
               CSTR_EQUAL;
    });
}

const platform::DirEntry* Entry(const std::vector<platform::DirEntry>& entries,
                                const std::string& name) {
    for (const auto& entry : entries)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

// Removes a tree too deep for the classic path limit (std::filesystem may stop there).
void RemoveLongTree(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveLongTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

TEST(WindowsFiles, ListsSizesBeyondFourGibibytes) {
    TempDir dir;
    testsupport::WriteFileOfSize(dir.path(), "big.m4v", 5ull * 1024 * 1024 * 1024 + 7);
    testsupport::WriteFileOfSize(dir.path(), "small.mp3", 17708);
    std::filesystem::create_directory(dir / "Music");
    const auto entries = platform::ListDirectory(dir.str());
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 3u);
    ASSERT_TRUE(Entry(*entries, "big.m4v"));
    EXPECT_EQ(Entry(*entries, "big.m4v")->size, 5ull * 1024 * 1024 * 1024 + 7);
    EXPECT_EQ(Entry(*entries, "small.mp3")->size, 17708u);
    ASSERT_TRUE(Entry(*entries, "Music"));
    EXPECT_TRUE(Entry(*entries, "Music")->isDirectory);
    EXPECT_FALSE(platform::ListDirectory((dir / "missing").string()));
}

TEST(WindowsFiles, NamesBeyondAsciiSurviveTheRoundTrip) {
    TempDir dir;
    const std::string name = "Bj\xC3\xB6rk \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB5.mp3";
    const std::string path = dir.str() + "\\" + name;
    ASSERT_TRUE(platform::WriteWholeFile(path, "tune").ok());
    EXPECT_TRUE(platform::FileExists(path));
    // Seen by the wide API under the same name.
    EXPECT_NE(GetFileAttributesW(Wide(path).c_str()), INVALID_FILE_ATTRIBUTES);
    const auto entries = platform::ListDirectory(dir.str());
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1u);
    EXPECT_EQ((*entries)[0].name, name);
    const auto bytes = platform::ReadWholeFile(path, 100);
    ASSERT_TRUE(bytes.ok()) << bytes.message();
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "tune");
}

TEST(WindowsFiles, DeepFoldersBeyondTheClassicPathLimitWork) {
    TempDir dir;
    std::string deep = dir.str();
    for (int level = 0; deep.size() < 400; ++level)
        deep += "\\Some Rather Long Folder Name " + std::to_string(level);
    const std::string file = deep + "\\track.mp3";
    const std::string copy = deep + "\\copy of track.mp3";
    ASSERT_GT(file.size(), static_cast<std::size_t>(MAX_PATH));

    ASSERT_TRUE(platform::CreateDirectories(deep).ok());
    EXPECT_TRUE(platform::DirectoryExists(deep));
    ASSERT_TRUE(platform::WriteWholeFile(file, "first").ok());
    ASSERT_TRUE(platform::WriteWholeFile(file, "second").ok()); // replaces
    EXPECT_TRUE(platform::FileExists(file));
    const auto bytes = platform::ReadWholeFile(file, 100);
    ASSERT_TRUE(bytes.ok()) << bytes.message();
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "second");
    ASSERT_TRUE(platform::CopyFileReplacing(file, copy).ok());
    const auto entries = platform::ListDirectory(deep);
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), 2u); // no temporary left behind
    EXPECT_TRUE(Lists(*entries, "copy of track.mp3"));
    const auto free = platform::FreeSpace(file);
    EXPECT_TRUE(free.ok()) << free.message();

    RemoveLongTree(L"\\\\?\\" + Wide(dir.str() + "\\Some Rather Long Folder Name 0"));
}

TEST(WindowsFiles, CopyReplacesAnExistingTarget) {
    TempDir dir;
    const std::string from = (dir / "a.mp3").string();
    const std::string to = (dir / "b.mp3").string();
    ASSERT_TRUE(platform::WriteWholeFile(from, "new").ok());
    ASSERT_TRUE(platform::WriteWholeFile(to, "old and longer").ok());
    ASSERT_TRUE(platform::CopyFileReplacing(from, to).ok());
    const auto bytes = platform::ReadWholeFile(to, 100);
    ASSERT_TRUE(bytes.ok());
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "new");
    EXPECT_FALSE(platform::CopyFileReplacing((dir / "none.mp3").string(), to).ok());
}

TEST(WindowsFiles, AFileAnotherProgramHasOpenIsNotRead) {
    TempDir dir;
    const std::string path = (dir / "itunesdb").string();
    ASSERT_TRUE(platform::WriteWholeFile(path, "data").ok());
    const HANDLE other =
        CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const auto held = platform::ReadWholeFile(path, 100);
    CloseHandle(other);
    ASSERT_FALSE(held.ok());
    EXPECT_EQ(held.message(), "the file is in use by another program");
    EXPECT_TRUE(platform::ReadWholeFile(path, 100).ok());
}

TEST(WindowsFiles, ADatabaseHeldOpenElsewhereIsReportedUnreadable) {
    TempDir root;
    testsupport::WriteDatabase(root.path(), std::vector<std::uint8_t>(64, 0));
    const auto database = (root.path() / "iPod_Control" / "iTunes" / "iTunesDB").string();
    const HANDLE other = CreateFileW(Wide(database).c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    TiPod library;
    library.iPodPath = root.str();
    const TLoadReport report = library.LoadDatabase();
    CloseHandle(other);
    EXPECT_EQ(report.outcome, TLoadReport::Outcome::Unreadable);
    EXPECT_EQ(report.message,
              "Cannot open file " + report.path + ": the file is in use by another program");
}

TEST(WindowsFiles, ADeviceWhereAFileShouldBeIsNotRead) {
    // Device names open the device in any folder, with any extension: nothing is read.
    TempDir dir;
    for (const std::string& path : {std::string("NUL"), (dir / "nul.mp3").string()}) {
        const auto bytes = platform::ReadWholeFile(path, 100);
        ASSERT_FALSE(bytes.ok()) << path;
        EXPECT_EQ(bytes.message(), "it is not a regular file") << path;
    }
}

TEST(WindowsFiles, ADriveAloneMeansItsRootNotItsCurrentFolder) {
    TempDir dir;
    std::filesystem::create_directory(dir / "marker-folder");
    const std::string drive = dir.str().substr(0, 2); // the temporary folder's drive, "C:"
    ASSERT_EQ(drive[1], ':');
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW(Wide(dir.str()).c_str()));
    const auto entries = platform::ListDirectory(drive);
    const bool rootIsFolder = platform::DirectoryExists(drive);
    SetCurrentDirectoryW(saved);

    ASSERT_TRUE(entries);
    EXPECT_FALSE(Lists(*entries, "marker-folder"));
    EXPECT_TRUE(Lists(*entries, "users") || Lists(*entries, "windows"));
    EXPECT_TRUE(rootIsFolder);
}

// An empty card-reader slot must not bring up "There is no disk in the drive" at a scan: the
// error mode is set for the whole probe of a drive (listing its root, reading its label, and
// reporting), on the scanning thread only.
TEST(WindowsDrives, TheScanProbesEachDriveWithTheDiskBoxOff) {
    TempDir dir;
    std::filesystem::create_directories(dir / "player" / "iPod_Control" / "iTunes");
    const UINT processMode = GetErrorMode();
    const DWORD threadMode = GetThreadErrorMode();
    ASSERT_EQ(threadMode & SEM_FAILCRITICALERRORS, 0u);
    std::vector<DWORD> modesWhileProbing;
    std::vector<UINT> processModesWhileProbing;
    // A folder that is no volume root: its label cannot be read, which is reported mid-probe.
    const auto players = device::ScanPlayers(
        {[&] { return std::vector<std::string>{(dir / "player").string()}; }, {}},
        [&](const std::string&) {
            modesWhileProbing.push_back(GetThreadErrorMode());
            processModesWhileProbing.push_back(GetErrorMode());
        });
    EXPECT_EQ(players.size(), 1u);
    ASSERT_EQ(modesWhileProbing.size(), 1u);
    EXPECT_NE(modesWhileProbing[0] & SEM_FAILCRITICALERRORS, 0u);
    EXPECT_EQ(processModesWhileProbing[0], processMode);
    EXPECT_EQ(GetThreadErrorMode(), threadMode);
}

TEST(WindowsDrives, FreeSpaceIsTheVolumesInSixtyFourBits) {
    TempDir dir;
    ULARGE_INTEGER available{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(Wide(dir.str()).c_str(), &available, nullptr, nullptr));
    const auto folder = platform::FreeSpace(dir.str());
    const auto missingFile = platform::FreeSpace((dir / "not yet copied.mp3").string());
    ASSERT_TRUE(folder.ok()) << folder.message();
    ASSERT_TRUE(missingFile.ok()) << missingFile.message();
    EXPECT_GT(*folder, 0u);
    // Other programs write meanwhile: the same volume within 256 MiB.
    constexpr std::uint64_t kSlack = 256ull * 1024 * 1024;
    const std::uint64_t raw = available.QuadPart;
    EXPECT_LT(*folder > raw ? *folder - raw : raw - *folder, kSlack);
    EXPECT_LT(*missingFile > raw ? *missingFile - raw : raw - *missingFile, kSlack);
}

TEST(WindowsDrives, AVolumeLabelOfADriveThatIsNotThereIsAFailure) {
    // Letters from Z: down to the first one no drive has.
    const DWORD mask = GetLogicalDrives();
    int index = 25;
    while (index > 2 && (mask & (1u << index)) != 0)
        --index;
    ASSERT_GT(index, 2);
    const std::string root{static_cast<char>('a' + index), ':'};
    const UINT original = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    const auto label = platform::VolumeLabel(root);
    const UINT after = SetErrorMode(original);
    EXPECT_FALSE(label.ok());
    EXPECT_FALSE(label.message().empty());
    EXPECT_EQ(after, static_cast<UINT>(SEM_NOOPENFILEERRORBOX)); // put back as it was
}

TEST(WindowsShell, OpeningAMissingFileFailsWithoutAnyWindow) {
    TempDir dir;
    const auto status = platform::ShellOpen((dir / "missing track.mp3").string());
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("missing track.mp3"), std::string::npos) << status.message();
}

TEST(WindowsCopyNames, OverwritingNeverReplacesTheFileAShortNameLeadsTo) {
    TempDir dir;
    const std::string kept = (dir / "Long file name here.mp3").string();
    std::ofstream(kept) << "kept";
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(Wide(kept).c_str(), shortPath, MAX_PATH), 0u);
    const std::wstring wide(shortPath);
    const std::wstring shortName = wide.substr(wide.find_last_of(L'\\') + 1);
    if (shortName == L"Long file name here.mp3")
        GTEST_SKIP() << "this volume makes no short names";
    const std::string name(shortName.begin(), shortName.end()); // 8.3 names are ASCII
    platform::CopyFiles& files = platform::SystemCopyFiles();
    auto folder = files.OpenFolder(dir.path().string());
    ASSERT_TRUE(folder.ok());
    copy::TNamePlanner planner(files, folder->get());
    const auto chosen = planner.Choose(name, true);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_NE(*chosen, name);
    // A file of that very name is still replaced.
    EXPECT_EQ(planner.Choose("Long file name here.mp3", true), "Long file name here.mp3");
}

} // namespace
