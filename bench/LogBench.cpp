// Times the error log: many entries written one after another into a fresh log, and one entry
// written into a log that has grown to 20 MB, which moves it aside (b) or, with a higher limit,
// goes into it (c). An entry's cost must not grow with the log.
//
// usage: log_bench [ENTRIES] [BUDGET_SECONDS]
//   ENTRIES (10000): entries of the first run; it stops early, and says so, once it has taken
//   BUDGET_SECONDS (120).

#include "core/base/LogClass.h"
#include "platform/Clock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

double MeanMs(const std::vector<double>& times, std::size_t from, std::size_t to) {
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += times[i];
    return to > from ? sum / static_cast<double>(to - from) : 0;
}

std::uintmax_t FolderBytes(const fs::path& folder) {
    std::uintmax_t bytes = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file())
            bytes += entry.file_size();
    return bytes;
}

// The text of a log of at least `bytes`, keyed by seconds a year before now, so that no key
// meets one of today's entries.
std::string GrownLog(std::size_t bytes) {
    std::string text = "[Error Log]\n";
    auto when = std::chrono::system_clock::now() - std::chrono::hours(24 * 365);
    for (int i = 0; text.size() < bytes; ++i, when += std::chrono::seconds(1))
        text += platform::FormatLocalDateTime(when) +
                "=Execute:Unable to open E:\\iPod_Control\\Music\\F12\\ABCD" + std::to_string(i) +
                ".mp3\n";
    return text;
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Medians of five tries of one entry into the grown log, put back before each, and of the
// entry after it.
std::pair<double, double> IntoGrownLog(const fs::path& folder, const std::string& grown) {
    std::vector<double> first;
    std::vector<double> after;
    for (int i = 0; i < 5; ++i) {
        for (const auto& entry : fs::directory_iterator(folder))
            fs::remove(entry.path());
        WriteFile(folder / "apces.cnt", grown);
        auto before = Clock::now();
        app::TLogClass::WriteLog("Execute:one more entry");
        first.push_back(Ms(Clock::now() - before));
        before = Clock::now();
        app::TLogClass::WriteLog("Execute:and the one after it");
        after.push_back(Ms(Clock::now() - before));
    }
    std::sort(first.begin(), first.end());
    std::sort(after.begin(), after.end());
    return {first[first.size() / 2], after[after.size() / 2]};
}

} // namespace

int main(int argc, char** argv) {
    const int entries = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    const double budgetMs = (argc > 2 ? std::max(1, std::atoi(argv[2])) : 120) * 1000.0;

    std::random_device seed;
    const fs::path folder =
        fs::temp_directory_path() / ("kestrune-log-bench-" + std::to_string(seed()));
    fs::create_directories(folder);
    app::TLogClass::SetProgramFolder(folder.string());

    // (a) A fresh log, one entry after another, as a failing copy of many files would write it.
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(entries));
    const auto start = Clock::now();
    for (int i = 0; i < entries && Ms(Clock::now() - start) < budgetMs; ++i) {
        const auto before = Clock::now();
        app::TLogClass::WriteLog("Execute:Unable to open E:\\iPod_Control\\Music\\F07\\WXYZ" +
                                 std::to_string(i) + ".m4a: the device is not ready");
        times.push_back(Ms(Clock::now() - before));
    }
    const double totalMs = Ms(Clock::now() - start);
    const std::size_t done = times.size();
    const std::size_t tenth = std::max<std::size_t>(1, done / 10);
    std::printf("entries written            %zu of %d%s\n", done, entries,
                done < static_cast<std::size_t>(entries) ? " (stopped: time budget spent)" : "");
    std::printf("(a) all entries            %.1f ms (%.3f ms per entry)\n", totalMs,
                totalMs / static_cast<double>(done));
    std::printf("    first/last tenth       %.3f / %.3f ms per entry\n", MeanMs(times, 0, tenth),
                MeanMs(times, done - tenth, done));
    std::printf("    slowest entry          %.3f ms\n",
                *std::max_element(times.begin(), times.end()));
    std::printf("    log files              %ju bytes\n", FolderBytes(folder));

    // (b) One entry into a log of 20 MB, and the entry after it.
    const std::string grown = GrownLog(20'000'000);
    const auto [first, after] = IntoGrownLog(folder, grown);
    std::printf("(b) one entry, 20 MB log   %.3f ms (median of 5; the entry after it: %.3f ms)\n",
                first, after);
    std::printf("    log files              %ju bytes\n", FolderBytes(folder));

    // (c) The same with a limit above 20 MB: the entry goes into the grown log itself.
    app::TLogClass::SetMaxBytes(64u * 1024 * 1024);
    const auto [inPlace, inPlaceAfter] = IntoGrownLog(folder, grown);
    std::printf("(c) same, limit of 64 MiB  %.3f ms (the entry after it: %.3f ms)\n", inPlace,
                inPlaceAfter);
    std::printf("    log files              %ju bytes\n", FolderBytes(folder));

    app::TLogClass::SetMaxBytes(app::TLogClass::kDefaultMaxBytes);
    app::TLogClass::SetProgramFolder("");
    fs::remove_all(folder);
    return 0;
}
