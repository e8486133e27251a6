#include "DemoPlayer.h"

#include <charconv>
#include <chrono>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kUsage =
    R"(Usage: kestrune-demo-player DIR [--tracks N] [--seed S] [--file-bytes MIN:MAX] [--sparse]

Writes a demo player folder at DIR: the track database DIR/iPod_Control/iTunes/iTunesDB, the
track files under DIR/iPod_Control/Music/F00..F49, and DIR/expected.jsonl, one JSON object per
track in database order with the listing a correct reader gives.

The tracks mix Unicode texts, titles with characters file names cannot hold, device names,
duplicate titles, letter-case variants of artists, albums and locations, empty and missing
fields, podcast and chapter items, extra data sets, three playlists, missing and zero-byte
files. The same seed always gives the same folder. A folder this tool wrote before is replaced;
a folder holding any other player is left alone.

Options:
  --tracks N            number of tracks (default 40)
  --seed S              seed of the generator (default 1)
  --file-bytes MIN:MAX  range of track file sizes in bytes (default 256:4096)
  --sparse              make the track files sparse: full size, no disk blocks
  -h, --help            show this text
)";

template <class T> std::optional<T> ParseNumber(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

int Fail(const std::string& message) {
    std::cerr << "kestrune-demo-player: " << message << "\n"
              << "Try 'kestrune-demo-player --help'.\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    demoplayer::Options options;
    std::optional<std::string> root;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= argc)
                return std::nullopt;
            return std::string_view(argv[++i]);
        };
        if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--sparse") {
            options.sparse = true;
        } else if (arg == "--tracks") {
            const auto text = value();
            const auto count = text ? ParseNumber<std::size_t>(*text) : std::nullopt;
            if (!count)
                return Fail("--tracks needs a whole number");
            options.tracks = *count;
        } else if (arg == "--seed") {
            const auto text = value();
            const auto seed = text ? ParseNumber<std::uint64_t>(*text) : std::nullopt;
            if (!seed)
                return Fail("--seed needs a whole number");
            options.seed = *seed;
        } else if (arg == "--file-bytes") {
            const auto text = value();
            const auto colon = text ? text->find(':') : std::string_view::npos;
            if (colon == std::string_view::npos)
                return Fail("--file-bytes needs MIN:MAX");
            const auto low = ParseNumber<std::uint64_t>(text->substr(0, colon));
            const auto high = ParseNumber<std::uint64_t>(text->substr(colon + 1));
            if (!low || !high || *low > *high)
                return Fail("--file-bytes needs MIN:MAX with MIN <= MAX");
            options.minFileBytes = *low;
            options.maxFileBytes = *high;
        } else if (!arg.empty() && arg[0] == '-') {
            return Fail("unknown option " + std::string(arg));
        } else if (root) {
            return Fail("only one folder may be given");
        } else {
            root = std::string(arg);
        }
    }
    if (!root)
        return Fail("no folder given");

    try {
        const auto start = std::chrono::steady_clock::now();
        const demoplayer::Summary summary = demoplayer::WritePlayer(*root, options);
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        std::cout << "wrote " << summary.tracks << " tracks to " << *root << ": "
                  << summary.filesWritten << " files (" << summary.zeroByteFiles
                  << " of zero bytes), " << summary.filesMissing << " missing, database of "
                  << summary.databaseBytes << " bytes, in " << elapsed.count() << " ms\n";
    } catch (const std::exception& error) {
        std::cerr << "kestrune-demo-player: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
