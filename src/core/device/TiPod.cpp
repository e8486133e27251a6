#include "core/device/TiPod.h"

#include "core/device/CompressedDatabase.h"
#include "core/device/DevicePath.h"
#include "core/device/FileTracks.h"
#include "core/device/PlaylistReader.h"
#include "core/device/ShuffleDatabase.h"
#include "core/device/SizeText.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <numeric>
#include <span>
#include <system_error>
#include <thread>
#include <unordered_set>
#include <utility>

namespace device {

std::optional<std::string> FindDatabaseFile(PlayerFiles& files) {
    // Whatever stands there: reading it says what is wrong when it is no regular file.
    return files.FindAnyEntry({"iPod_Control", "iTunes", "itunesdb"});
}

void ComputeSizeTexts(TrackStore& store, PlayerFiles& files, std::string_view decimalSeparator) {
    std::string texts;
    std::vector<std::uint32_t> offsets;
    offsets.reserve(static_cast<std::size_t>(store.Count()) + 1);
    offsets.push_back(0);
    texts.reserve(static_cast<std::size_t>(store.Count()) * 7);
    for (std::int32_t i = 0; i < store.Count(); ++i) {
        if (auto size = files.SizeOfLocation(store.Text(i, TrackStore::kLocation)))
            AppendSizeText(*size, decimalSeparator, texts);
        offsets.push_back(static_cast<std::uint32_t>(texts.size()));
    }
    store.SetSizeTexts(std::move(texts), std::move(offsets));
}

} // namespace device

namespace {

// The track of one music file, its texts from the file's own tags.
void AppendFileTrack(device::TrackStore& store, const std::string& location,
                     const device::FileTags& tags) {
    using device::TrackStore;
    auto raw = [](const std::string& text) {
        return TrackStore::RawText{
            {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()},
            TrackStore::Encoding::Utf8};
    };
    TrackStore::RawText texts[TrackStore::kDbFieldCount] = {};
    texts[TrackStore::kTitle] = raw(tags.title);
    texts[TrackStore::kLocation] = raw(location);
    texts[TrackStore::kAlbum] = raw(tags.album);
    texts[TrackStore::kArtist] = raw(tags.artist);
    texts[TrackStore::kGenre] = raw(tags.genre);
    texts[TrackStore::kFiletype] = raw(tags.filetype);
    texts[TrackStore::kComment] = raw(tags.comment);
    texts[TrackStore::kComposer] = raw(tags.composer);
    texts[TrackStore::kGrouping] = raw(tags.grouping);
    texts[TrackStore::kAlbumArtist] = raw(tags.albumArtist);
    store.AppendTrack(0, texts, tags.numbers);
}

std::string_view FileNameOf(std::string_view location) {
    return location.substr(location.find_last_of(":/\\") + 1);
}

// The tracks a shuffle database lists, each with the tags of its file; false when there is no
// usable one.
bool ReadShuffleDatabase(device::PlayerFiles& files, device::TrackStore& store) {
    const auto path = files.Find({"iPod_Control", "iTunes", "iTunesSD"});
    if (!path || path->size == 0)
        return false;
    auto image = platform::ReadWholeFile(path->path, device::kMaxShuffleBytes);
    if (!image)
        return false;
    const device::ShuffleParse parsed = device::ParseShuffleDatabase(*image);
    if (!parsed.recognised || parsed.locations.empty())
        return false;
    for (const std::string& location : parsed.locations) {
        const auto file = files.FindLocation(location);
        AppendFileTrack(store, location,
                        file ? device::ReadFileTags(file->path, FileNameOf(file->path))
                             : device::ReadFileTags({}, FileNameOf(location)));
    }
    return true;
}

// Adds a track for every music file that no track of the store names; the number added.
std::int32_t AddFileTracks(device::PlayerFiles& files, device::TrackStore& store) {
    std::unordered_set<std::string> named;
    for (std::int32_t i = 0; i < store.Count(); ++i)
        if (auto file = files.FindLocation(store.Text(i, device::TrackStore::kLocation)))
            named.insert(std::move(file->path));
    std::int32_t added = 0;
    for (const device::MusicFile& music : device::ListMusicFiles(files)) {
        if (named.contains(music.file.path))
            continue;
        AppendFileTrack(store, music.location,
                        device::ReadFileTags(music.file.path, FileNameOf(music.location)));
        ++added;
    }
    return added;
}

} // namespace

TLoadReport TiPod::LoadDatabase(bool fromFiles) {
    using Outcome = TLoadReport::Outcome;
    using Source = TLoadReport::Source;
    TLoadReport report;
    report.filesAsked = fromFiles;
    device::PlayerFiles files(iPodPath);
    device::TrackStore store;
    std::vector<device::Playlist> playlists;
    // The music folders are listed, a file system call per file for the sizes, on two more
    // threads while the database is read and parsed here; then this thread joins in.
    const std::vector<std::string_view> music = {"iPod_Control", "Music"};
    std::atomic<std::size_t> nextFolder{0};
    std::vector<std::unique_ptr<device::PlayerFiles>> ahead;
    std::vector<std::thread> listers;
    struct Joined {
        std::vector<std::thread>& threads;
        ~Joined() {
            for (std::thread& thread : threads)
                if (thread.joinable())
                    thread.join();
        }
    } joined{listers};
    for (int i = 0; i < 2; ++i) {
        auto& lister = *ahead.emplace_back(std::make_unique<device::PlayerFiles>(iPodPath));
        try {
            listers.emplace_back([&lister, &music, &nextFolder] {
                try {
                    lister.ListSubfolders(music, nextFolder);
                } catch (const std::exception&) {
                    // Only time is lost: the folders are listed again where they are needed.
                }
            });
        } catch (const std::system_error&) {
            ahead.pop_back(); // no thread to be had: this one lists them, only later
            break;
        }
    }
    // A compressed database that is there replaces the other, which such players leave empty.
    std::optional<std::string> path;
    if (auto compressed = files.Find({"iPod_Control", "iTunes", "iTunesCDB"});
        compressed && compressed->size > 0)
        path = compressed->path;
    else
        path = device::FindDatabaseFile(files);
    if (path && !fromFiles) {
        report.path = *path;
        auto file = platform::ReadFileImage(*path, device::kMaxDatabaseBytes);
        if (!file) {
            report.outcome = Outcome::Unreadable;
            report.message = "Cannot open file " + *path + ": " + file.message();
        } else {
            report.source = Source::Database;
            std::span<const std::uint8_t> image = file->bytes();
            std::vector<std::uint8_t> inflatedImage;
            if (device::IsCompressedDatabase(image)) {
                report.source = Source::CompressedDatabase;
                auto inflated = device::InflateDatabase(image, device::kMaxDatabaseBytes);
                if (inflated)
                    inflatedImage = std::move(*inflated);
                else
                    report.message = inflated.message();
                image = inflatedImage;
            }
            const device::ParseOutcome parsed =
                image.empty() && !report.message.empty()
                    ? device::ParseOutcome{false, 0, false, report.message}
                    : device::ParseDatabase(image, store, dataSets_);
            report.announced = parsed.announced;
            playlists = device::ReadPlaylists(image);
            report.outcome = parsed.complete ? Outcome::Loaded : Outcome::Damaged;
            report.message = parsed.complete ? std::string() : parsed.problem;
        }
    }
    files.ListSubfolders(music, nextFolder);
    for (std::size_t i = 0; i < listers.size(); ++i) {
        listers[i].join();
        files.Adopt(std::move(*ahead[i]));
    }
    if (!fromFiles && report.outcome != Outcome::Loaded && report.outcome != Outcome::Damaged &&
        ReadShuffleDatabase(files, store))
        report.source = Source::ShuffleDatabase;
    const std::int32_t listed = store.Count();
    if (report.source != Source::ShuffleDatabase && report.outcome != Outcome::Loaded) {
        report.fromFiles = AddFileTracks(files, store);
        // A database that gave nothing (a lost one, or one left empty) is no source.
        if (listed == 0 && report.fromFiles > 0)
            report.source = Source::Files;
    }
    if (report.source == Source::None)
        return report; // nothing to show: the previous tracks stay

    device::ComputeSizeTexts(store, files, platform::DecimalSeparator());
    store.ShrinkToFit();
    store_ = std::move(store);
    SongCount = store_.Count();
    playlists_.clear();
    // The tracks by identifier, sorted (databases list them in rising order as a rule, so
    // this is mostly one pass); of tracks sharing one, the first in the database.
    std::vector<std::pair<std::int32_t, std::int32_t>> byId;
    if (!playlists.empty()) {
        byId.reserve(static_cast<std::size_t>(listed));
        for (std::int32_t i = 0; i < listed; ++i)
            byId.emplace_back(store_.TrackId(i), i);
        if (!std::is_sorted(byId.begin(), byId.end()))
            std::sort(byId.begin(), byId.end());
    }
    for (device::Playlist& playlist : playlists) {
        TPlaylist& kept = playlists_.emplace_back();
        kept.name = std::move(playlist.name);
        for (std::int32_t id : playlist.trackIds)
            if (auto found = std::lower_bound(byId.begin(), byId.end(), std::pair{id, 0});
                found != byId.end() && found->first == id)
                kept.tracks.push_back(found->second);
    }
    report.read = listed;
    return report;
}

std::int32_t TiPod::FindSongIndex(std::string_view key) const {
    for (std::int32_t i = SongCount - 1; i >= 0; --i)
        if (platform::CompareText(store_.Text(i, device::TrackStore::kTitle), key) == 0)
            return i;
    return -1;
}

void TiPod::FindSong(std::string_view key, TSong& song) const {
    const std::int32_t index = FindSongIndex(key);
    if (index >= 0)
        song = store_.Song(index);
}

std::vector<std::string> TiPod::SortedDistinct(SongField field, bool keepEmpty) const {
    // Exact spellings first, in database order; then a stable sort under the locale keeps the
    // earliest of the spellings that compare equal.
    std::vector<std::string_view> spellings;
    std::unordered_set<std::string_view> seen;
    for (std::int32_t i = 0; i < SongCount; ++i) {
        const std::string_view value = store_.Field(i, field);
        if ((keepEmpty || !value.empty()) && seen.insert(value).second)
            spellings.push_back(value);
    }
    std::stable_sort(
        spellings.begin(), spellings.end(),
        [](std::string_view a, std::string_view b) { return platform::CompareText(a, b) < 0; });
    std::vector<std::string> list;
    list.reserve(spellings.size());
    for (std::string_view value : spellings)
        if (list.empty() || platform::CompareText(list.back(), value) != 0)
            list.emplace_back(value);
    return list;
}

std::vector<std::string> TiPod::GetAlbumList() const {
    return SortedDistinct(SongField::Album, false);
}

std::vector<std::string> TiPod::GetArtistList() const {
    return SortedDistinct(SongField::Artist, false);
}

std::vector<std::string> TiPod::GetFileTypeList() const {
    return SortedDistinct(SongField::Filetype, true);
}
