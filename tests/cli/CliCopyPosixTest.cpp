// Copies that need the Linux system itself: a small tmpfs as a volume that fills up (mounting
// needs root; the case is skipped without it), the signals that end a program, a closed pipe.

#include "CliCopy.h"

#include "DatabaseBuilder.h"
#include "DemoPlayer.h"
#include "core/copy/CopyThread.h"
#include "support/DataHome.h"
#include "support/PlayerFolder.h"
#include "support/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>

namespace fs = std::filesystem;
using namespace testsupport;

namespace {

// A tmpfs of the given size at a folder, for the scope.
class SmallVolume {
public:
    SmallVolume(const fs::path& at, std::uint64_t bytes) : at_(at) {
        fs::create_directories(at);
        const std::string options = "size=" + std::to_string(bytes);
        mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallVolume() {
        if (mounted_)
            ::umount2(at_.c_str(), MNT_DETACH);
    }
    SmallVolume(const SmallVolume&) = delete;
    SmallVolume& operator=(const SmallVolume&) = delete;
    bool mounted() const { return mounted_; }

private:
    fs::path at_;
    bool mounted_ = false;
};

} // namespace

TEST(CliCopyOnLinux, IntoANearlyFullVolumeCopiesWhatFitsAndReportsTheRest) {
    TempDir scratch;
    RegistrySandbox registry;
    ScopedDataHome dataHome(scratch.str());
    const fs::path out = scratch / "small";
    SmallVolume volume(out, 1 << 20);
    if (!volume.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    demoplayer::Options options;
    options.tracks = 30;
    options.minFileBytes = 40000;
    options.maxFileBytes = 120000;
    demoplayer::WritePlayer(scratch / "player", options);

    const CliRun run = RunCli({"copy", (scratch / "player").string(), out.string()}, scratch);
    EXPECT_EQ(run.status, 3) << run.errors;
    const auto report = CopyReport(run);
    ASSERT_EQ(report.size(), options.tracks);
    std::set<std::string> copied;
    std::size_t refused = 0;
    for (const auto& entry : report) {
        if (entry.outcome == copy::kDiskspaceNotEnough) {
            ++refused;
        } else if (entry.outcome.starts_with(copy::kCopyFailed)) {
            EXPECT_NE(entry.outcome.find("No space left on device"), std::string::npos);
        } else if (entry.outcome != copy::kSourceNotFound) {
            EXPECT_TRUE(SameBytes(entry.outcome, entry.source)) << entry.outcome;
            copied.insert(Utf8Text(Utf8Path(entry.outcome).filename()));
        }
    }
    EXPECT_GE(copied.size(), 5u);
    EXPECT_GE(refused, 5u);
    EXPECT_EQ(FilesIn(out), copied) << "a partial or temporary file was left";
}

namespace {

// kestrune-cli copy of a player of three tracks of `bytes` each, its standard output to the file
// descriptor `out` (or to the file "stdout" of the scratch folder).
pid_t SpawnCopy(const TempDir& scratch, std::uint64_t bytes, int out = -1) {
    dbbuild::DatabaseBuilder builder;
    for (int i = 0; i < 3; ++i) {
        const std::string name = "T" + std::to_string(i) + ".mp3";
        builder.AddTrack(
            dbbuild::MakeTrack(i, {{1, name}, {2, ":iPod_Control:Music:F00:" + name}}));
        WriteFileOfSize(scratch / "player", "iPod_Control/Music/F00/" + name, bytes);
    }
    WriteDatabase(scratch / "player", builder.Build());
    fs::create_directories(scratch / "out");

    const std::string program = KESTRUNE_CLI_PATH;
    std::vector<std::string> texts{program, "copy", (scratch / "player").string(),
                                   (scratch / "out").string()};
    std::vector<char*> argv;
    for (auto& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    const fs::path outFile = scratch / "stdout", errFile = scratch / "stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out >= 0)
        posix_spawn_file_actions_adddup2(&actions, out, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT, 0644);
    pid_t child = 0;
    EXPECT_EQ(posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// The exit status; -1 when a signal ended the program instead.
int ExitStatus(pid_t child) {
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

TEST(CliCopyOnLinux, EndingSignalsStopLikeTheStopCommand) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        TempDir scratch;
        RegistrySandbox registry;
        ScopedDataHome dataHome(scratch.str());
        const pid_t child = SpawnCopy(scratch, 4ull << 30);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (detail::ReadAll(scratch / "stderr").find("(1/3) Copying T0.mp3") ==
                   std::string::npos &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ::kill(child, signal);
        EXPECT_EQ(ExitStatus(child), 3) << "ended by the signal instead of stopping";
        CliRun run;
        std::istringstream lines(detail::ReadAll(scratch / "stdout"));
        for (std::string line; std::getline(lines, line);)
            run.lines.push_back(line);
        const auto report = CopyReport(run);
        ASSERT_EQ(report.size(), 3u);
        for (const auto& entry : report)
            EXPECT_EQ(entry.outcome, copy::kCopyTerminated) << entry.title;
        EXPECT_TRUE(FilesIn(scratch / "out").empty()) << "the partial copy was left";
    }
}

TEST(CliCopyOnLinux, AClosedPipeIsAnUnwrittenReportNotTheEnd) {
    TempDir scratch;
    RegistrySandbox registry;
    ScopedDataHome dataHome(scratch.str());
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    ::close(pipe[0]); // as `| head` that has gone
    const pid_t child = SpawnCopy(scratch, 5000, pipe[1]);
    ::close(pipe[1]);
    EXPECT_EQ(ExitStatus(child), 5);
    EXPECT_EQ(FilesIn(scratch / "out"),
              (std::set<std::string>{"T0.mp3.mp3", "T1.mp3.mp3", "T2.mp3.mp3"}));
}
