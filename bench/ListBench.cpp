// Times `kestrune-cli list` against libgpod's parse of the same player, in one run.
//
//   list_bench [TRACKS...] [--rounds N]   (default: 40000 150000, 7 rounds)
//
// For each size it generates a demo player (sparse files of 2 to 12 MB), then in interleaved
// rounds spawns the real kestrune-cli with its output to /dev/null and, in this process, has
// libgpod parse the same player (itdb_parse; the free is not timed). Prints the medians and
// their ratio. Without libgpod only our listing is timed.

#include "support/RunProgram.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#if KESTRUNE_HAVE_GPOD
#include <gpod/itdb.h>
#endif

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs the program to its end with its output to /dev/null; its exit status, or -1.
int Run(std::vector<std::string> args) {
    const std::string program = args.front();
    args.erase(args.begin());
    return testsupport::detail::Spawn(program, args, "/dev/null", "/dev/null", false);
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// libgpod's parse of the player in ms, or a negative value when it failed.
double GpodParseMs(const fs::path& root) {
#if KESTRUNE_HAVE_GPOD
    GError* error = nullptr;
    const auto start = Clock::now();
    Itdb_iTunesDB* itdb = itdb_parse(root.c_str(), &error);
    const double ms = MsSince(start);
    if (itdb == nullptr) {
        std::fprintf(stderr, "list_bench: libgpod could not parse %s: %s\n", root.c_str(),
                     error != nullptr ? error->message : "?");
        g_clear_error(&error);
        return -1;
    }
    itdb_free(itdb);
    return ms;
#else
    (void)root;
    return -1;
#endif
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    int rounds = 7;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--rounds" && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else
            sizes.push_back(std::atoi(argv[i]));
    }
    if (sizes.empty())
        sizes = {40000, 150000};
    if (!KESTRUNE_HAVE_GPOD)
        std::printf("libgpod not found at build time: only kestrune-cli list is timed\n");

    const fs::path scratch = fs::temp_directory_path() / ("list_bench-" + std::to_string(getpid()));
    std::printf("%-8s %12s %12s %8s   (medians of %d interleaved rounds)\n", "tracks",
                "kestrune-cli", "libgpod", "ratio", rounds);
    int failed = 0;
    for (const int tracks : sizes) {
        const fs::path root = scratch / std::to_string(tracks);
        fs::create_directories(root);
        if (Run({KESTRUNE_DEMO_PLAYER, root.string(), "--tracks", std::to_string(tracks), "--seed",
                 "1", "--sparse", "--file-bytes", "2000000:12000000"}) != 0) {
            std::fprintf(stderr, "list_bench: could not generate the player of %d tracks\n",
                         tracks);
            ++failed;
            continue;
        }
        // One of each first, so both find the database and the folders in the page cache.
        Run({KESTRUNE_CLI, "list", root.string()});
        GpodParseMs(root);
        std::vector<double> ours, theirs;
        for (int round = 0; round < rounds; ++round) {
            const auto start = Clock::now();
            if (Run({KESTRUNE_CLI, "list", root.string()}) != 0) {
                std::fprintf(stderr, "list_bench: kestrune-cli list failed\n");
                ++failed;
                break;
            }
            ours.push_back(MsSince(start));
            if (const double ms = GpodParseMs(root); ms >= 0)
                theirs.push_back(ms);
        }
        if (ours.empty())
            continue;
        if (theirs.empty())
            std::printf("%-8d %9.1f ms %12s %8s\n", tracks, Median(ours), "-", "-");
        else
            std::printf("%-8d %9.1f ms %9.1f ms %8.2f\n", tracks, Median(ours), Median(theirs),
                        Median(ours) / Median(theirs));
        std::fflush(stdout);
        fs::remove_all(root);
    }
    fs::remove_all(scratch);
    return failed == 0 ? 0 : 1;
}
