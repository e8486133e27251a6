// Times the window program from its start to the first paint of its track table, on a large
// player.
//
//   start_bench [TRACKS] [--rounds N]   (default: 150000 tracks, 7 rounds)
//
// It generates a demo player, then starts the real kestrune --player ROOT again and again with
// KESTRUNE_QUIT_AFTER_FIRST_PAINT set, timing each from the spawn to the "painted" line the
// program writes once the table has been painted with its rows. HOME and the XDG folders point
// into the scratch folder, so the settings and the program folder are the bench's own; a first
// start, not timed, leaves them as a start after the first finds them. Without a DISPLAY it runs on
// the offscreen platform.

#include "support/RunProgram.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

int Wait(pid_t child) {
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Milliseconds from the spawn to the "painted" line, or a negative value when none came.
double TimeToFirstPaint(const fs::path& root) {
    int out[2];
    if (pipe(out) != 0)
        return -1;
    std::string program = KESTRUNE_WINDOW, flag = "--player", folder = root.string();
    char* argv[] = {program.data(), flag.data(), folder.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const auto start = Clock::now();
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    double ms = -1;
    std::string line;
    char c = 0;
    while (spawned == 0 && read(out[0], &c, 1) == 1) {
        if (c != '\n') {
            line += c;
            continue;
        }
        if (line == "painted") {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
        line.clear();
    }
    close(out[0]);
    if (spawned != 0 || Wait(child) != 0)
        return -1;
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    int tracks = 150000;
    int rounds = 7;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--rounds" && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else
            tracks = std::atoi(argv[i]);
    }
    const fs::path scratch =
        fs::temp_directory_path() / ("start_bench-" + std::to_string(getpid()));
    const fs::path root = scratch / "player";
    fs::create_directories(root);
    fs::create_directories(scratch / "home");
    setenv("HOME", (scratch / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (scratch / "home/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (scratch / "home/.local/share").c_str(), 1);
    setenv("KESTRUNE_QUIT_AFTER_FIRST_PAINT", "1", 1);
    if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    int failed = 0;
    if (testsupport::detail::Spawn(KESTRUNE_DEMO_PLAYER,
                                   {root.string(), "--tracks", std::to_string(tracks), "--seed",
                                    "1", "--sparse", "--file-bytes", "2000000:12000000"},
                                   "/dev/null", "/dev/null", false) != 0) {
        std::fprintf(stderr, "start_bench: could not generate the player of %d tracks\n", tracks);
        failed = 1;
    }
    std::vector<double> times;
    if (failed == 0 && TimeToFirstPaint(root) < 0) {
        std::fprintf(stderr, "start_bench: the program did not report its first paint\n");
        failed = 1;
    }
    for (int round = 0; round < rounds && failed == 0; ++round) {
        const double ms = TimeToFirstPaint(root);
        if (ms < 0) {
            std::fprintf(stderr, "start_bench: the program did not report its first paint\n");
            failed = 1;
            break;
        }
        times.push_back(ms);
    }
    if (!times.empty()) {
        std::sort(times.begin(), times.end());
        std::printf("%d tracks: start to the first painted table %.1f ms (median of %d; %s)\n",
                    tracks, times[times.size() / 2], rounds,
                    std::getenv("QT_QPA_PLATFORM") != nullptr ? std::getenv("QT_QPA_PLATFORM")
                                                              : "the DISPLAY");
    }
    fs::remove_all(scratch);
    return failed;
}
