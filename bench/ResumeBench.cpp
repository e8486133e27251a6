// Times copying a player again with --skip-existing after a copy that was killed half-way.
//
//   resume_bench [TRACKS] [ROUNDS]
//
// Generates a demo player of TRACKS tracks (real files of 100-400 KB), then, ROUNDS times: a
// full copy with kestrune-cli into one folder; a copy into a second folder killed (SIGKILL)
// once half the tracks are there; the same command again with --skip-existing, which must
// leave the second folder equal to the first; and a third run, which must copy nothing.
// Prints the medians and the third run's time as a fraction of the full copy.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr char kLayout[] = "{artist}/{album}/{track:02} {title}";

pid_t Spawn(std::vector<std::string> args, const fs::path& out) {
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        child = -1;
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// The exit status, or -1 when the child did not exit by itself.
int Wait(pid_t child) {
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

std::size_t FilesBelow(const fs::path& folder) {
    std::size_t files = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error))
        if (it->is_regular_file(error))
            ++files;
    return files;
}

std::map<std::string, std::string> Contents(const fs::path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            contents[fs::relative(entry.path(), folder).string()] =
                std::string(std::istreambuf_iterator<char>(in), {});
        }
    return contents;
}

std::size_t Lines(const fs::path& file, const std::string& holding) {
    std::ifstream in(file);
    std::size_t lines = 0;
    for (std::string line; std::getline(in, line);)
        lines += line.find(holding) != std::string::npos;
    return lines;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const std::string tracks = argc > 1 ? argv[1] : "2000";
    const int rounds = argc > 2 ? std::stoi(argv[2]) : 3;
    const fs::path base =
        fs::temp_directory_path() / ("kestrune-resume-bench-" + std::to_string(getpid()));
    const fs::path player = base / "player", full = base / "full", resumed = base / "resumed",
                   log = base / "report.jsonl";
    fs::create_directories(base);
    if (Wait(Spawn({KESTRUNE_DEMO_PLAYER, player.string(), "--tracks", tracks, "--seed", "3",
                    "--file-bytes", "100000:400000"},
                   "/dev/null")) != 0) {
        std::fprintf(stderr, "resume_bench: the demo player was not written\n");
        return 1;
    }
    // The demo player lacks some files on purpose: every run reports those the same way.
    const auto copyTo = [&](const fs::path& target, bool skip) {
        std::vector<std::string> args{KESTRUNE_CLI, "copy",  player.string(), target.string(),
                                      "--layout",   kLayout, "--no-overwrite"};
        if (skip)
            args.push_back("--skip-existing");
        return Spawn(args, log);
    };
    const auto timed = [&](const fs::path& target, bool skip) {
        const auto start = std::chrono::steady_clock::now();
        const int exit = Wait(copyTo(target, skip));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return exit == 0 || exit == 3 ? seconds : -1.0; // 3: some tracks have no file
    };

    std::printf("resume_bench: %s tracks, layout %s\n", tracks.c_str(), kLayout);
    std::vector<double> first, second, third;
    for (int round = 0; round < rounds; ++round) {
        fs::remove_all(full);
        fs::remove_all(resumed);
        ::sync();
        first.push_back(timed(full, false));
        const std::size_t all = FilesBelow(full);

        const pid_t killed = copyTo(resumed, false);
        while (FilesBelow(resumed) < all / 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ::kill(killed, SIGKILL);
        Wait(killed);
        const std::size_t before = FilesBelow(resumed);

        second.push_back(timed(resumed, true));
        const std::size_t there = Lines(log, "Already copied.");
        if (Contents(resumed) != Contents(full)) {
            std::fprintf(stderr, "resume_bench: the resumed copy differs from the full one\n");
            return 1;
        }
        third.push_back(timed(resumed, true));
        const std::size_t copiedAgain = Lines(log, "\"outcome\":\"" + resumed.string());
        if (first.back() < 0 || second.back() < 0 || third.back() < 0 || copiedAgain != 0) {
            std::fprintf(stderr, "resume_bench: a run failed, or the third one copied again\n");
            return 1;
        }
        std::printf("  round %d: full %.3f s (%zu files); killed at %zu files; again with skip "
                    "%.3f s (%zu already copied); third %.3f s\n",
                    round + 1, first.back(), all, before, second.back(), there, third.back());
    }
    const double f = Median(first), s = Median(second), t = Median(third);
    std::printf("median: full %.3f s, again after the kill %.3f s, third run %.3f s\n", f, s, t);
    std::printf("ratio third run / full copy: %.3f\n", t / f);
    fs::remove_all(base);
    return 0;
}
