// kestrune-cli: lists the tracks of a player (or of a copy of one) as JSON lines.

#include "core/base/ProgramInfo.h"
#include "cli/CopyCommand.h"
#include "cli/JsonLine.h"
#include "core/device/TiPod.h"
#include "core/library/PlayerModel.h"
#include "platform/CommandLine.h"
#include "platform/Drives.h"
#include "platform/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitNoDatabase = 2;
constexpr int kExitDamaged = 3;
constexpr int kExitWriteFailed = 4;
constexpr int kExitFromFiles = 5;

void PrintHelp(std::ostream& out) {
    out << "Usage: kestrune-cli list ROOT [--from-files] [--playlists]\n"
           "       kestrune-cli copy ROOT TARGET [OPTIONS]   (kestrune-cli copy --help)\n"
           "       kestrune-cli --help | --version\n"
           "\n"
           "Reads the track database of the player whose root folder is ROOT (the folder that\n"
           "holds iPod_Control; on Windows a drive such as E:) and prints one JSON object per\n"
           "track, one a line, in the order of the database, with the keys title, location,\n"
           "fileSize, album, artist, genre, filetype, comment, eqSetting, composer, grouping\n"
           "(text) and trackId (number); then albumArtist (text), trackNumber, trackCount,\n"
           "discNumber, discCount, year and duration (in milliseconds), 0 where the database\n"
           "holds none. fileSize is empty when the track's file is missing.\n"
           "\n"
           "The database is iPod_Control/iTunes/iTunesCDB (compressed) where that is not empty,\n"
           "else iTunesDB. Where neither can be read, a shuffle's iTunesSD lists the tracks;\n"
           "where that is missing too, or the database is damaged, the music files under\n"
           "iPod_Control/Music/F* are read by their own tags (trackId 0). --from-files reads the\n"
           "files alone. Standard error says where the tracks came from when not from the\n"
           "database. --playlists prints the playlists instead, one a line: name and the\n"
           "trackIds of its tracks in its order (the master playlist of all tracks left out).\n"
           "\n"
           "Exit status: 0 all tracks listed, from the database, the compressed database, the\n"
           "shuffle database, or the files as --from-files asked; 1 wrong usage; 2 nothing to\n"
           "list: no readable database and no music file under ROOT; 3 the database is damaged:\n"
           "the tracks before the damage were listed, and the files none of them names; 4 the\n"
           "standard output could not be written; 5 no database could be read: the tracks were\n"
           "read from the files' own tags.\n";
}

// The standard output, written a part at a time; Finish says whether all of it was written,
// with the reason on standard error when not (a full disk, a closed pipe): a listing nobody
// got is no success.
class Output {
public:
    void Write(const std::string& text) {
        errno = 0;
        if (written_ && std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
            written_ = false;
            error_ = errno;
        }
    }
    bool Finish() {
        errno = 0;
        const bool flushed = std::fflush(stdout) == 0;
        if (written_ && flushed && !std::ferror(stdout))
            return true;
        const int error = error_ != 0 ? error_ : errno;
        std::cerr << "kestrune-cli: cannot write to the standard output"
                  << (error != 0 ? std::string(": ") + std::strerror(error) : std::string())
                  << "\n";
        return false;
    }

private:
    bool written_ = true;
    int error_ = 0;
};

bool WriteOut(const std::string& text) {
    Output out;
    out.Write(text);
    return out.Finish();
}

// A listing goes out in parts of about this size, which stay in the processor's cache.
constexpr std::size_t kOutputPart = 256 * 1024;

std::string StripTrailingSeparators(std::string root) {
    while (root.size() > 1 && (root.back() == '/' || root.back() == '\\'))
        root.pop_back();
    return root;
}

int List(const std::string& root, bool fromFiles, bool playlists) {
    platform::QuietDriveErrors quiet; // "list E:" on an empty card reader fails, it does not ask
    browser::TPlayerModel player;
    player.Choose(StripTrailingSeparators(root));
    if (!platform::DirectoryExists(player.Chosen())) {
        std::cerr << "kestrune-cli: "
                  << (platform::FileExists(player.Chosen()) ? "not a folder: " : "no such folder: ")
                  << root << "\n";
        return kExitNoDatabase;
    }
    const TLoadReport report = player.Load(fromFiles).report;
    const TiPod& library = player.Library();
    if (report.source == TLoadReport::Source::None) {
        if (report.outcome == TLoadReport::Outcome::Unreadable)
            std::cerr << "kestrune-cli: " << report.message << "\n";
        else
            std::cerr << "kestrune-cli: no track database and no music file under " << root
                      << " (looked for iPod_Control/iTunes/itunesdb, iTunesCDB and iTunesSD, and "
                         "iPod_Control/Music/F*, any letter case)\n";
        return kExitNoDatabase;
    }
    Output output;
    std::string out;
    out.reserve(kOutputPart + 64 * 1024);
    for (std::int32_t i = 0; i < library.GetSongCount() && !playlists; ++i) {
        auto field = [&](SongField which) { return library.Field(i, which); };
        cli::AppendTrackJson(out, {field(SongField::Title), field(SongField::Location),
                                   field(SongField::FileSize), field(SongField::Album),
                                   field(SongField::Artist), field(SongField::Genre),
                                   field(SongField::Filetype), field(SongField::Comment),
                                   field(SongField::EQSetting), field(SongField::Composer),
                                   field(SongField::Grouping), library.TrackId(i),
                                   library.AlbumArtist(i), library.Numbers(i)});
        out += '\n';
        if (out.size() >= kOutputPart) {
            output.Write(out);
            out.clear();
        }
    }
    for (std::size_t i = 0; i < library.Playlists().size() && playlists; ++i) {
        const TPlaylist& playlist = library.Playlists()[i];
        out += "{\"name\": " + cli::JsonString(playlist.name) + ", \"trackIds\": [";
        for (std::size_t k = 0; k < playlist.tracks.size(); ++k)
            out += (k > 0 ? ", " : "") + std::to_string(library.TrackId(playlist.tracks[k]));
        out += "]}\n";
    }
    output.Write(out);
    const bool written = output.Finish();
    if (report.outcome == TLoadReport::Outcome::Damaged) {
        std::cerr << "kestrune-cli: the database " << report.path
                  << " is damaged; stopped early after " << report.read << " of "
                  << report.announced << " tracks (" << report.message << ")";
        if (report.fromFiles > 0)
            std::cerr << "; " << report.fromFiles << " more tracks read from the files' own tags";
        std::cerr << "\n";
        return written ? kExitDamaged : kExitWriteFailed;
    }
    if (report.source != TLoadReport::Source::Database)
        std::cerr << "kestrune-cli: " << library.GetSongCount() << " tracks "
                  << browser::SourceText(report) << "\n";
    if (!written)
        return kExitWriteFailed;
    return report.source == TLoadReport::Source::Files && !fromFiles ? kExitFromFiles : kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = platform::CommandLineArguments(argc, argv);
    if (args.size() == 2 && (args[1] == "--help" || args[1] == "-h")) {
        std::ostringstream help;
        PrintHelp(help);
        return WriteOut(help.str()) ? kExitOk : kExitWriteFailed;
    }
    if (args.size() == 2 && args[1] == "--version")
        return WriteOut(app::VersionText("kestrune-cli")) ? kExitOk : kExitWriteFailed;
    if (args.size() >= 3 && args[1] == "list" && !args[2].empty()) {
        bool fromFiles = false, playlists = false, known = true;
        for (std::size_t i = 3; i < args.size(); ++i) {
            fromFiles = fromFiles || args[i] == "--from-files";
            playlists = playlists || args[i] == "--playlists";
            known = known && (args[i] == "--from-files" || args[i] == "--playlists");
        }
        if (known)
            return List(args[2], fromFiles, playlists);
    }
    if (args.size() == 3 && args[1] == "list")
        std::cerr << "kestrune-cli: ROOT is empty\n";
    if (args.size() >= 2 && args[1] == "copy")
        return cli::CopyCommand({args.begin() + 2, args.end()});
    PrintHelp(std::cerr);
    return kExitUsage;
}
