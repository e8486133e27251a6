#include "core/copy/PlaylistFile.h"

#include "core/copy/TargetNames.h"
#include "core/device/TiPod.h"
#include "platform/Files.h"
#include "platform/Paths.h"

#include <unordered_map>

namespace copy {
namespace {

// The copy's path below the target folder, "/" between its parts.
std::string Relative(const std::string& path, const std::string& folder) {
    std::string relative = path.substr(std::min(path.size(), folder.size()));
    while (!relative.empty() && (relative.front() == '/' || relative.front() == '\\'))
        relative.erase(relative.begin());
    if (platform::kPathSeparator == '\\')
        for (char& c : relative)
            if (c == '\\')
                c = '/';
    return relative;
}

// A line of the file holds no line break.
std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    return line;
}

} // namespace

std::string PlaylistText(const TiPod& library, const TPlaylist& playlist, const TCopyRequest& job,
                         const TCopyResult& result, std::size_t* entries) {
    std::unordered_map<std::int32_t, std::size_t> entryOf;
    for (std::size_t i = 0; i < job.entries.size() && i < result.entries.size(); ++i)
        if (HasCopy(result.entries[i].outcome) && !result.entries[i].path.empty())
            entryOf.try_emplace(job.entries[i].track, i);
    std::string text = "#EXTM3U\n";
    std::size_t listed = 0;
    for (std::int32_t track : playlist.tracks) {
        const auto found = entryOf.find(track);
        if (found == entryOf.end())
            continue;
        const std::int32_t ms = library.Numbers(track).durationMs;
        const std::string artist(library.Field(track, SongField::Artist));
        const std::string title(library.Field(track, SongField::Title));
        text += "#EXTINF:" + std::to_string(ms > 0 ? (ms + 500) / 1000 : -1) + "," +
                OneLine(artist.empty() ? title : artist + " - " + title) + "\n";
        text += Relative(result.entries[found->second].path, job.targetFolder) + "\n";
        ++listed;
    }
    if (entries != nullptr)
        *entries = listed;
    return text;
}

std::vector<WrittenPlaylist> WritePlaylists(const TiPod& library, const TCopyRequest& job,
                                            const TCopyResult& result) {
    std::vector<WrittenPlaylist> written;
    for (const TPlaylist& playlist : library.Playlists()) {
        WrittenPlaylist& file = written.emplace_back();
        const std::string text = PlaylistText(library, playlist, job, result, &file.entries);
        const std::string planned =
            JoinTargetPath(job.targetFolder, TargetFileName(playlist.name, ".m3u8"));
        // Free: nothing there, or these very contents.
        auto taken = [&](const std::string& path) {
            if (!platform::FileExists(path) && !platform::DirectoryExists(path))
                return false;
            auto there = platform::ReadWholeFile(path, 16u << 20);
            return !there || std::string(there->begin(), there->end()) != text;
        };
        const auto path =
            taken(planned) ? NumberedPathName(planned, taken) : std::optional<std::string>(planned);
        if (!path) {
            file.failure = "no free numbered name for " + planned;
            continue;
        }
        if (auto saved = platform::WriteWholeFile(*path, text); !saved) {
            file.failure = saved.message();
            continue;
        }
        file.path = *path;
    }
    return written;
}

} // namespace copy
