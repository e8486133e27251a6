// kestrune-cli.exe copies the player on the removable drive that scripts/test-windows.sh maps
// (a copy of the generated-40 fixture, named in KESTRUNE_TEST_REMOVABLE_DRIVE) into a folder
// on drive C:.

#include "../CliCopy.h"

#include "core/copy/CopyThread.h"
#include "support/DataHome.h"
#include "support/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;
using namespace testsupport;

TEST(CliCopyFromADrive, CopiesThePlayerOnDriveEIntoAFolderOnC) {
    const char* drive = std::getenv("KESTRUNE_TEST_REMOVABLE_DRIVE");
    ASSERT_TRUE(drive != nullptr && std::string(drive).size() == 2)
        << "run scripts/test-windows.sh, which maps the drive";
    const std::string root = FoldAscii(drive) == "e:" ? "E:" : drive;
    TempDir scratch;
    RegistrySandbox registry;
    ScopedDataHome dataHome(scratch.str());
    const std::string out = scratch.str() + "\\out";
    ASSERT_EQ(FoldAscii(out.substr(0, 2)), "c:") << out;
    fs::create_directories(out);

    const CliRun run = RunCli({"copy", root, out, "--no-overwrite"}, scratch);
    EXPECT_EQ(run.status, 3) << run.errors; // two tracks of the fixture have no file
    const auto report = CopyReport(run);
    const auto expected = ReadJsonLines(fs::path(root + "\\expected.jsonl"));
    ASSERT_EQ(report.size(), expected.size());
    std::size_t copied = 0;
    for (std::size_t i = 0; i < report.size(); ++i) {
        const auto track = *ParseFlatJson(expected[i]);
        EXPECT_EQ(report[i].title, track.at("title"));
        if (track.at("fileSize").empty()) {
            EXPECT_EQ(report[i].outcome, copy::kSourceNotFound);
            continue;
        }
        EXPECT_TRUE(SameLocation(report[i].source, root + "\\", track.at("location")))
            << report[i].source;
        EXPECT_EQ(report[i].outcome.rfind(out + "\\", 0), 0u) << report[i].outcome;
        EXPECT_TRUE(SameBytes(report[i].outcome, report[i].source)) << report[i].outcome;
        ++copied;
    }
    EXPECT_EQ(FilesIn(out).size(), copied);
    for (const char* name : {"中文歌曲 4.wav", "Ελληνικά 25.wav", "Jóga 37.m4a", "CON_.mp3"})
        EXPECT_TRUE(fs::exists(Utf8Path(out + "\\" + name))) << name;
}
