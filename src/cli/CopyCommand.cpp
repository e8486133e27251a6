#include "cli/CopyCommand.h"

#include "core/base/LogClass.h"
#include "core/library/Listing.h"
#include "core/library/Search.h"
#include "cli/JsonLine.h"
#include "cli/ProgressLine.h"
#include "core/copy/CopyJob.h"
#include "core/copy/CopyThread.h"
#include "core/copy/NameLayout.h"
#include "core/copy/PlaylistFile.h"
#include "core/copy/TargetNames.h"
#include "core/device/TiPod.h"
#include "core/library/PlayerModel.h"
#include "platform/Console.h"
#include "platform/CopyFiles.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "core/settings/RegistrySettings.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <set>
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
constexpr int kExitNoTrackChosen = 6;

constexpr char kUsage[] =
    "Usage: kestrune-cli copy ROOT TARGET [--overwrite | --no-overwrite] [--artist NAME]...\n"
    "                         [--album NAME]... [--filetype NAME]... [--search TEXT] [--dry-run]\n"
    "                         [--skip-existing] [--layout TEMPLATE] [--playlist NAME]\n"
    "                         [--write-playlists]\n"
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
    "  --layout T       where each copy goes below TARGET, e.g. \"{artist}/{album}/{track:02}\n"
    "                   {title}\": fields {title} {artist} {albumartist} {album} {genre}\n"
    "                   {composer} {year} {track} {disc}, numbers padded as {track:02}; folders\n"
    "                   are made as needed. Default {title}: every copy in TARGET itself.\n"
    "  --playlist NAME  the tracks of the player's playlist NAME, in its order (other choices\n"
    "                   narrow them further)\n"
    "  --write-playlists  after the copy, one NAME.m3u8 per playlist in TARGET, listing the\n"
    "                   tracks that were copied (or were there already)\n"
    "  --skip-existing  a track whose copy is there already (its name, or a numbered variant\n"
    "                   of it, holding the same bytes) is not copied again: \" Already copied.\"\n"
    "\n"
    "TARGET is created, with its parents, when it does not exist; it may not lie on the player.\n"
    "Copies never replace one another: a name an earlier copy of the same job took gets the\n"
    "next number, also where the target's file system takes two names for one (letter case).\n"
    "\n"
    "Progress goes to standard error. Ctrl+C, SIGTERM and SIGHUP stop the copy like the Stop\n"
    "command: the unfinished copy is removed, complete ones keep their names, and the report is\n"
    "printed. At the end standard output gets one JSON object per entry, one a line, in job\n"
    "order: title, source, and outcome, the path of the copy or the reason there is none.\n"
    "\n"
    "The tracks come from where `kestrune-cli list` takes them (see kestrune-cli --help).\n"
    "\n"
    "Exit status: 0 every entry copied; 1 wrong usage; 2 no readable database and no music\n"
    "file under ROOT; 3 some entries not copied, or the database is damaged and only the\n"
    "tracks before the damage (and the files none of them names) could be copied; 4 TARGET cannot "
    "be created or written, or lies on the player\n"
    "(nothing was copied); 5 the report could not be written to the standard output; 6 the\n"
    "choice matches no track.\n";

struct CopyOptions {
    std::string root;
    std::string target;
    std::optional<bool> overwrite;
    std::vector<std::string> artists;
    std::vector<std::string> albums;
    std::vector<std::string> filetypes;
    std::optional<std::string> search;
    bool dryRun = false;
    bool skipExisting = false;
    std::string layout = copy::kFlatLayout;
    std::optional<std::string> playlist;
    bool writePlaylists = false;
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
        // An option's name is never taken for the value of another.
        auto value = [&](std::vector<std::string>& into) {
            if (i + 1 >= args.size() || args[i + 1].starts_with("--"))
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
        } else if (arg == "--playlist") {
            std::vector<std::string> name;
            if (options.playlist || !value(name))
                return UsageError("--playlist needs one name");
            options.playlist = name.front();
        } else if (arg == "--write-playlists") {
            options.writePlaylists = true;
        } else if (arg == "--skip-existing") {
            options.skipExisting = true;
        } else if (arg == "--layout") {
            std::vector<std::string> layout;
            if (!value(layout))
                return UsageError("--layout needs a template");
            if (auto usable = copy::CheckLayout(layout.front()); !usable)
                return UsageError(usable.message());
            options.layout = layout.front();
        } else if (arg.starts_with("--")) {
            return UsageError("unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2)
        return UsageError("ROOT and TARGET are needed");
    if (positional[0].empty())
        return UsageError("ROOT is empty");
    if (positional[1].empty())
        return UsageError("TARGET is empty");
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
// The playlist's tracks in its order, each once; nothing when the player has no such playlist.
std::optional<std::vector<std::int32_t>> PlaylistTracks(const TiPod& library,
                                                        const std::string& name) {
    for (const TPlaylist& playlist : library.Playlists()) {
        if (playlist.name != name)
            continue;
        std::vector<std::int32_t> tracks;
        std::set<std::int32_t> seen;
        for (std::int32_t track : playlist.tracks)
            if (seen.insert(track).second)
                tracks.push_back(track);
        return tracks;
    }
    return std::nullopt;
}

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
    if (!options.playlist)
        return tracks;
    // In the playlist's order, narrowed by the other choices.
    const std::set<std::int32_t> chosen(tracks.begin(), tracks.end());
    std::vector<std::int32_t> ordered;
    for (std::int32_t track : PlaylistTracks(library, *options.playlist).value_or(tracks))
        if (chosen.contains(track))
            ordered.push_back(track);
    return ordered;
}

std::string Megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
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
        std::vector<std::string> facts{"  " + Megabytes(copied) + " of " + Megabytes(total)};
        if (rate > 0) {
            facts.push_back("  " + Megabytes(static_cast<std::uint64_t>(rate)) + "/s");
            const auto left = static_cast<long long>(
                static_cast<double>(total > copied ? total - copied : 0) / rate);
            char text[32];
            std::snprintf(text, sizeof text, "  %lld:%02lld left", left / 60, left % 60);
            facts.emplace_back(text);
        }
        // One column short of the width, so the cursor never wraps to a new line.
        const int width = platform::TerminalColumns();
        const std::size_t columns = width > 1 ? static_cast<std::size_t>(width) - 1 : 0;
        std::string line = FitProgressLine(status_, facts, columns);
        const std::size_t length = DisplayColumns(line);
        const std::size_t clear = std::min(shown_, columns);
        if (length < clear)
            line.append(clear - length, ' ');
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

int PrintPlan(const copy::TCopyRequest& job) {
    const copy::TCopyResult plan = copy::PlanNames(job, platform::SystemCopyFiles());
    std::string out;
    for (std::size_t i = 0; i < job.entries.size(); ++i)
        out += "{\"title\":" + JsonString(job.entries[i].title) +
               ",\"target\":" + JsonString(copy::OutcomeText(plan.entries[i])) + "}\n";
    return PrintLines(out) ? kExitOk : kExitReportUnwritten;
}

int RunJob(const copy::TCopyRequest& job, const TiPod& library, bool writePlaylists) {
    Progress progress(platform::PrepareProgressTerminal());
    TCopyThread worker(progress);
    progress.Watch(worker);
    interruptedWorker.store(&worker);
    platform::OnInterrupt(StopOnInterrupt);
    const platform::Status started = worker.Start(job);
    if (started)
        worker.Join();
    platform::OnInterrupt(nullptr);
    interruptedWorker.store(nullptr);
    if (!started) {
        std::cerr << "kestrune-cli copy: " << started.message() << "\n";
        return kExitNotAllCopied;
    }

    const copy::TCopyResult& result = worker.Result();
    std::string out;
    for (std::size_t i = 0; i < job.entries.size(); ++i)
        out += "{\"title\":" + JsonString(job.entries[i].title) +
               ",\"source\":" + JsonString(job.entries[i].source) +
               ",\"outcome\":" + JsonString(copy::OutcomeText(result.entries[i])) + "}\n";
    const bool reported = PrintLines(out);
    if (result.leftoversRemoved > 0)
        std::cerr << "Removed " << result.leftoversRemoved
                  << " unfinished copies that an interrupted copy had left in the target folder.\n";
    const std::size_t copied = result.Copies();
    const std::size_t there = result.Count(copy::TCopyOutcome::AlreadyCopied);
    std::cerr << "Copied " << copied - there << " of " << job.entries.size() << " files";
    if (there > 0)
        std::cerr << "; " << there << " were copied already";
    std::cerr << ".\n";
    bool playlistsWritten = true;
    if (writePlaylists)
        for (const copy::WrittenPlaylist& playlist : copy::WritePlaylists(library, job, result)) {
            if (playlist.path.empty()) {
                std::cerr << "kestrune-cli copy: a playlist cannot be written: " << playlist.failure
                          << "\n";
                playlistsWritten = false;
            } else {
                std::cerr << "Wrote " << playlist.path << " (" << playlist.entries << " tracks).\n";
            }
        }
    if (!reported)
        return kExitReportUnwritten;
    return copied == job.entries.size() && playlistsWritten ? kExitOk : kExitNotAllCopied;
}

} // namespace

bool HasChoice(const CopyOptions& options) {
    return !options.artists.empty() || !options.albums.empty() || !options.filetypes.empty() ||
           options.search.has_value() || options.playlist.has_value();
}

int CopyCommand(const std::vector<std::string>& args) {
    CopyOptions options;
    if (auto done = Parse(args, options))
        return *done;
    // A report that cannot be written is an error the command sees and says, not its end.
    platform::IgnoreBrokenPipe();

    if (!platform::DirectoryExists(options.root)) {
        std::cerr << "kestrune-cli copy: "
                  << (platform::FileExists(options.root) ? "not a folder: " : "no such folder: ")
                  << options.root << "\n";
        return kExitNoDatabase;
    }
    browser::TPlayerModel player;
    player.Choose(options.root);
    const browser::TPlayerLoad load = player.Load();
    const TLoadReport& report = load.report;
    const TiPod& library = player.Library();
    if (report.source == TLoadReport::Source::None) {
        if (report.outcome == TLoadReport::Outcome::Unreadable)
            std::cerr << "kestrune-cli copy: " << report.message << "\n";
        else
            std::cerr << "kestrune-cli copy: no track database and no music file under "
                      << options.root << "\n";
        return kExitNoDatabase;
    }
    if (report.outcome == TLoadReport::Outcome::Damaged && !load.Listable()) {
        std::cerr << "kestrune-cli copy: the database " << report.path
                  << " is damaged and no track of it can be read (" << report.message << ")\n";
        return kExitNoDatabase;
    }
    if (report.outcome == TLoadReport::Outcome::Damaged)
        std::cerr << "kestrune-cli copy: the database " << report.path << " is damaged; only "
                  << report.read << " of its " << report.announced << " tracks could be read ("
                  << report.message << ")"
                  << (report.fromFiles > 0 ? "; " + std::to_string(report.fromFiles) +
                                                 " more tracks read from the files' own tags"
                                           : std::string())
                  << "\n";
    else if (report.source != TLoadReport::Source::Database)
        std::cerr << "kestrune-cli copy: " << library.GetSongCount() << " tracks "
                  << browser::SourceText(report) << "\n";
    const bool damaged = report.outcome == TLoadReport::Outcome::Damaged;

    settings::RegistrySettings saved;
    (void)settings::ReadRegistry(saved);
    app::TLogClass::SetProgramFolder(saved.ProgramFolder);
    const bool overwrite = options.overwrite.value_or(saved.OverWriteExistFile);

    if (platform::FileExists(options.target)) {
        std::cerr << "kestrune-cli copy: the target " << options.target << " is not a folder\n";
        return kExitTargetUnusable;
    }
    copy::TCopyRequest job = copy::PlanJob(library, SelectTracks(library, options), options.target,
                                           overwrite, options.layout);
    job.skipExisting = options.skipExisting;
    if (options.playlist && !PlaylistTracks(library, *options.playlist)) {
        std::cerr << "kestrune-cli copy: the player has no playlist " << *options.playlist << "\n";
        return kExitNoTrackChosen;
    }
    if (job.entries.empty() && HasChoice(options)) {
        std::cerr << "kestrune-cli copy: no track matches the choice\n";
        return kExitNoTrackChosen;
    }
    // A dry run writes nothing, not even the target folder.
    if (options.dryRun) {
        const int printed = PrintPlan(job);
        return printed != kExitOk || !damaged ? printed : kExitNotAllCopied;
    }
    if (!platform::DirectoryExists(options.target) &&
        !copy::TargetOnPlayer(platform::SystemCopyFiles(), options.target, options.root)) {
        if (auto made = platform::CreateDirectories(options.target); !made) {
            std::cerr << "kestrune-cli copy: the target folder " << options.target
                      << " cannot be created: " << made.message() << "\n";
            return kExitTargetUnusable;
        }
    }
    if (auto usable =
            copy::CheckTargetFolder(platform::SystemCopyFiles(), options.target, options.root);
        !usable) {
        std::cerr << "kestrune-cli copy: " << usable.message() << "\n";
        return kExitTargetUnusable;
    }
    const int copied = RunJob(job, library, options.writePlaylists);
    return copied == kExitOk && damaged ? kExitNotAllCopied : copied;
}

} // namespace cli
