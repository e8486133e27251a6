#include "cli/CopyCommand.h"

#include "app/LogClass.h"
#include "browser/Listing.h"
#include "browser/Search.h"
#include "cli/JsonLine.h"
#include "copy/CopyJob.h"
#include "copy/CopyThread.h"
#include "copy/TargetNames.h"
#include "device/TiPod.h"
#include "platform/Console.h"
#include "platform/CopyFiles.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "settings/RegistrySettings.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace cli {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitNoDatabase = 2;
constexpr int kExitNotAllCopied = 3;
constexpr int kExitTargetUnusable = 4;
constexpr int kExitReportUnwritten = 5;

constexpr char kUsage[] =
    "Usage: kestrune-cli copy ROOT TARGET [--overwrite | --no-overwrite] [--artist NAME]...\n"
    "                         [--album NAME]... [--filetype NAME]... [--search TEXT] [--dry-run]\n"
    "\n"
    "Copies the tracks of the player whose root folder is ROOT into the folder TARGET, each\n"
    "named after its title, as the window's Copy command does. Without a choice every track is\n"
    "copied. Several names of one kind select the tracks of any of them (letter case aside);\n"
    "choices of different kinds must all hold. --search selects the tracks whose title, album,\n"
    "artist, composer or comment holds every word of TEXT, exactly as written.\n"
    "\n"
    "  --overwrite      an existing file of the same name is replaced (by a complete copy only)\n"
    "  --no-overwrite   the copy gets a numbered name instead: NAME(1).EXT, NAME(2).EXT, ...\n"
    "                   Without either, the saved setting OverWriteExistFile decides.\n"
    "  --dry-run        print the plan (title and target of each entry); copy nothing\n"
    "\n"
    "Progress goes to standard error; Ctrl+C stops the copy like the Stop command. At the end\n"
    "standard output gets one JSON object per entry, one a line, in job order: title, source,\n"
    "and outcome, the path of the copy or the reason there is none.\n"
    "\n"
    "Exit status: 0 every entry copied; 1 wrong usage; 2 no readable database under ROOT;\n"
    "3 some entries not copied; 4 TARGET is missing or not writable (nothing was copied);\n"
    "5 the report could not be written to the standard output.\n";

struct CopyOptions {
    std::string root;
    std::string target;
    std::optional<bool> overwrite;
    std::vector<std::string> artists;
    std::vector<std::string> albums;
    std::vector<std::string> filetypes;
    std::optional<std::string> search;
    bool dryRun = false;
};

bool IsSeparator(char c) {
    return c == '/' || c == platform::kPathSeparator;
}

// The player's root as the library wants it: "E:", "/media/IPOD".
std::string PlayerRoot(std::string path) {
    while (path.size() > 1 && IsSeparator(path.back()))
        path.pop_back();
    return path;
}

// "E:\" and "/" stay roots; "music/" is the folder "music".
std::string TargetFolder(std::string path) {
    while (path.size() > 1 && IsSeparator(path.back()) && !(path.size() == 3 && path[1] == ':'))
        path.pop_back();
    return path;
}

int UsageError(const std::string& message) {
    std::cerr << "kestrune-cli copy: " << message << "\n\n" << kUsage;
    return kExitUsage;
}

// Fills options; nothing when the arguments are wrong (the reason already printed).
std::optional<int> Parse(const std::vector<std::string>& args, CopyOptions& options) {
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::vector<std::string>& into) {
            if (i + 1 >= args.size())
                return false;
            into.push_back(args[++i]);
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return kExitOk;
        } else if (arg == "--overwrite" || arg == "--no-overwrite") {
            const bool overwrite = arg == "--overwrite";
            if (options.overwrite && *options.overwrite != overwrite)
                return UsageError("--overwrite and --no-overwrite exclude each other");
            options.overwrite = overwrite;
        } else if (arg == "--artist") {
            if (!value(options.artists))
                return UsageError("--artist needs a name");
        } else if (arg == "--album") {
            if (!value(options.albums))
                return UsageError("--album needs a name");
        } else if (arg == "--filetype") {
            if (!value(options.filetypes))
                return UsageError("--filetype needs a name");
        } else if (arg == "--search") {
            std::vector<std::string> text;
            if (options.search || !value(text))
                return UsageError("--search needs one text");
            if (!browser::SearchTextAccepted(text.front()))
                return UsageError("--search needs a text that is not blank");
            options.search = text.front();
        } else if (arg == "--dry-run") {
            options.dryRun = true;
        } else if (arg.starts_with("--")) {
            return UsageError("unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2)
        return UsageError("ROOT and TARGET are needed");
    options.root = PlayerRoot(positional[0]);
    options.target = TargetFolder(positional[1]);
    return std::nullopt;
}

std::vector<std::int32_t> Intersect(const std::vector<std::int32_t>& a,
                                    const std::vector<std::int32_t>& b) {
    std::vector<std::int32_t> both;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(both));
    return both;
}

// In library order; each kind of choice narrows the selection as its listing would.
std::vector<std::int32_t> SelectTracks(const TiPod& library, const CopyOptions& options) {
    std::vector<std::int32_t> tracks = browser::ListTracks(library, TDisplayMode::dmAll, {});
    const std::pair<TDisplayMode, const std::vector<std::string>*> kinds[] = {
        {TDisplayMode::dmArtists, &options.artists},
        {TDisplayMode::dmAlbums, &options.albums},
        {TDisplayMode::dmFileTypes, &options.filetypes},
    };
    for (const auto& [mode, names] : kinds)
        if (!names->empty())
            tracks = Intersect(tracks, browser::ListTracks(library, mode, *names));
    if (options.search)
        tracks = Intersect(tracks,
                           browser::ListTracks(library, TDisplayMode::dmSearch, {*options.search}));
    return tracks;
}

std::string Megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

// Cut to a number of characters (not bytes), so a line fits the terminal.
std::string CutToCharacters(const std::string& text, std::size_t characters) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (seen == characters)
            return text.substr(0, i);
        ++seen;
    }
    return text;
}

std::size_t Characters(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Progress on standard error: on a terminal one line rewritten in place, otherwise the status
// text of each file on a line of its own.
class Progress final : public TCopyMessages {
public:
    explicit Progress(bool terminal) : terminal_(terminal) {}

    void Watch(const TCopyThread& worker) { worker_ = &worker; }

    void CMProgressText(const std::string& text) override {
        status_ = text;
        if (terminal_)
            Draw(true);
        else
            std::cerr << text << "\n" << std::flush;
    }
    void CMProgressMax(int) override {}
    void CMProgressPosition(int) override {
        if (terminal_)
            Draw(false);
    }
    void CMProgressFinish(int) override {
        if (terminal_) {
            Draw(true);
            std::cerr << "\n" << std::flush;
        }
    }

private:
    void Draw(bool now) {
        const auto at = std::chrono::steady_clock::now();
        if (!now && at - drawn_ < std::chrono::milliseconds(100))
            return;
        drawn_ = at;
        const std::uint64_t copied = worker_->CopiedBytes();
        const std::uint64_t total = worker_->TotalBytes();
        const double seconds = std::chrono::duration<double>(at - started_).count();
        const double rate = seconds > 0 ? static_cast<double>(copied) / seconds : 0;
        std::string facts = "  " + Megabytes(copied) + " of " + Megabytes(total);
        if (rate > 0) {
            facts += "  " + Megabytes(static_cast<std::uint64_t>(rate)) + "/s";
            const auto left = static_cast<long long>(
                static_cast<double>(total > copied ? total - copied : 0) / rate);
            char text[32];
            std::snprintf(text, sizeof text, "  %lld:%02lld left", left / 60, left % 60);
            facts += text;
        }
        const std::size_t columns = static_cast<std::size_t>(platform::TerminalColumns()) - 1;
        const std::size_t room = columns > Characters(facts) ? columns - Characters(facts) : 0;
        std::string line = CutToCharacters(status_, room) + facts;
        const std::size_t length = Characters(line);
        if (length < shown_)
            line.append(shown_ - length, ' ');
        shown_ = length;
        std::cerr << "\r" << line << std::flush;
    }

    bool terminal_;
    const TCopyThread* worker_ = nullptr;
    std::string status_;
    std::size_t shown_ = 0;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point drawn_{};
};

std::atomic<TCopyThread*> interruptedWorker{nullptr};

void StopOnInterrupt() {
    if (TCopyThread* worker = interruptedWorker.load())
        worker->SetStopCopy(true);
}

// A report nobody got is no success: a full disk or a closed pipe is said so.
bool PrintLines(const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) == 0 && written && !std::ferror(stdout))
        return true;
    std::cerr << "kestrune-cli copy: cannot write the report to the standard output\n";
    return false;
}

// The names the copies would get: with overwriting off, a name already in the folder or
// taken by an earlier entry gets the next number, as the worker will give it. An entry without
// a source takes no name.
std::vector<std::string> PlannedNames(const copy::CopyJob& job, bool overwrite) {
    std::vector<std::string> names;
    std::vector<std::string> claimed;
    auto taken = [&](const std::string& name) {
        return platform::FileExists(name) || platform::DirectoryExists(name) ||
               std::find(claimed.begin(), claimed.end(), name) != claimed.end();
    };
    for (std::size_t i = 0; i < job.TargetFiles.size(); ++i) {
        const std::string& planned = job.TargetFiles[i];
        std::optional<std::string> name = planned;
        if (!overwrite && !job.SourceFiles[i].empty() && taken(planned))
            name = copy::NumberedPathName(planned, taken);
        names.push_back(name.value_or(planned));
        if (!job.SourceFiles[i].empty())
            claimed.push_back(names.back());
    }
    return names;
}

int PrintPlan(const copy::CopyJob& job, bool overwrite) {
    const std::vector<std::string> names = PlannedNames(job, overwrite);
    std::string out;
    for (std::size_t i = 0; i < job.TitleList.size(); ++i)
        out += "{\"title\":" + JsonString(job.TitleList[i]) +
               ",\"target\":" + JsonString(names[i]) + "}\n";
    return PrintLines(out) ? kExitOk : kExitReportUnwritten;
}

int RunJob(copy::CopyJob& job, bool overwrite) {
    Progress progress(platform::PrepareProgressTerminal());
    TCopyThread worker(progress);
    progress.Watch(worker);
    worker.SetSourceFiles(job.SourceFiles);
    worker.SetTargetFiles(job.TargetFiles);
    worker.SetOverWriteExistFile(overwrite);
    interruptedWorker.store(&worker);
    platform::OnInterrupt(StopOnInterrupt);
    const platform::Status started = worker.Start();
    if (started)
        worker.Join();
    platform::OnInterrupt(nullptr);
    interruptedWorker.store(nullptr);
    if (!started) {
        std::cerr << "kestrune-cli copy: " << started.message() << "\n";
        return kExitNotAllCopied;
    }

    std::string out;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < job.TitleList.size(); ++i) {
        if (worker.Outcomes()[i] == copy::TCopyOutcome::Copied)
            ++copied;
        out += "{\"title\":" + JsonString(job.TitleList[i]) +
               ",\"source\":" + JsonString(job.SourceFiles[i]) +
               ",\"outcome\":" + JsonString(job.TargetFiles[i]) + "}\n";
    }
    const bool reported = PrintLines(out);
    std::cerr << "Copied " << copied << " of " << job.TitleList.size() << " files.\n";
    if (!reported)
        return kExitReportUnwritten;
    return copied == job.TitleList.size() ? kExitOk : kExitNotAllCopied;
}

} // namespace

int CopyCommand(const std::vector<std::string>& args) {
    CopyOptions options;
    if (auto done = Parse(args, options))
        return *done;

    TiPod library;
    library.iPodPath = options.root;
    const TLoadReport report = library.LoadDatabase();
    switch (report.outcome) {
    case TLoadReport::Outcome::Missing:
        std::cerr << "kestrune-cli copy: no track database under " << options.root << "\n";
        return kExitNoDatabase;
    case TLoadReport::Outcome::Unreadable:
        std::cerr << "kestrune-cli copy: " << report.message << "\n";
        return kExitNoDatabase;
    case TLoadReport::Outcome::Damaged:
        std::cerr << "kestrune-cli copy: the database is damaged; only its first " << report.read
                  << " of " << report.announced << " tracks can be copied\n";
        break;
    case TLoadReport::Outcome::Loaded:
        break;
    }

    settings::RegistrySettings saved;
    (void)settings::ReadRegistry(saved);
    app::TLogClass::SetProgramFolder(saved.ProgramFolder);
    const bool overwrite = options.overwrite.value_or(saved.OverWriteExistFile);

    if (!platform::DirectoryExists(options.target)) {
        std::cerr << "kestrune-cli copy: the target folder " << options.target
                  << " does not exist\n";
        return kExitTargetUnusable;
    }
    copy::CopyJob job;
    copy::AddTracksToJob(library, SelectTracks(library, options), options.target, job);
    if (job.TitleList.empty())
        std::cerr << "kestrune-cli copy: no track matches the choice\n";
    if (options.dryRun || job.TitleList.empty())
        return PrintPlan(job, overwrite);
    if (auto writable =
            copy::CheckTargetFolder(platform::SystemCopyFiles(), options.target, options.root);
        !writable) {
        std::cerr << "kestrune-cli copy: the target folder " << options.target
                  << " cannot be written: " << writable.message() << "\n";
        return kExitTargetUnusable;
    }
    return RunJob(job, overwrite);
}

} // namespace cli
