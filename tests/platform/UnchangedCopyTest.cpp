#include "platform/Files.h"
#include "platform/Shell.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;

// The program folder's copy of a player's database is made again only when this says so.
TEST(UnchangedCopy, TellsACopyFromAFileChangedSince) {
    struct Case {
        const char* what;
        std::function<void(const fs::path& from, const fs::path& to)> change;
        bool unchanged;
    };
    const Case cases[] = {
        {"as copied", [](const fs::path&, const fs::path&) {}, true},
        {"rewritten, same size",
         [](const fs::path& from, const fs::path&) {
             ASSERT_TRUE(platform::WriteWholeFile(from.string(), "12345").ok());
         },
         false},
        {"grown, same time",
         [](const fs::path& from, const fs::path&) {
             const auto time = fs::last_write_time(from);
             ASSERT_TRUE(platform::WriteWholeFile(from.string(), "123456").ok());
             fs::last_write_time(from, time);
         },
         false},
        {"copy gone", [](const fs::path&, const fs::path& to) { fs::remove(to); }, false},
    };
    for (const Case& c : cases) {
        testsupport::TempDir dir;
        const fs::path from = dir / "iTunesDB";
        const fs::path to = dir / "Idb.ant";
        ASSERT_TRUE(platform::WriteWholeFile(from.string(), "abcde").ok());
        // Made long ago, as a database is: the copy keeps that time, not its own making's.
        fs::last_write_time(from, fs::last_write_time(from) - std::chrono::hours(24));
        ASSERT_TRUE(platform::CopyFileReplacing(from.string(), to.string()).ok());
        c.change(from, to);
        EXPECT_EQ(platform::IsUnchangedCopy(from.string(), to.string()), c.unchanged) << c.what;
    }
}

} // namespace
