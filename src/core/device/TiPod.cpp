#include "core/device/TiPod.h"

#include "core/device/DevicePath.h"
#include "core/device/SizeText.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>

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
        if (auto file = files.FindLocation(store.Text(i, TrackStore::kLocation)))
            texts += FormatSizeText(file->size, decimalSeparator);
        offsets.push_back(static_cast<std::uint32_t>(texts.size()));
    }
    store.SetSizeTexts(std::move(texts), std::move(offsets));
}

} // namespace device

TLoadReport TiPod::LoadDatabase() {
    TLoadReport report;
    device::PlayerFiles files(iPodPath);
    auto path = device::FindDatabaseFile(files);
    if (!path)
        return report; // Missing: the previous tracks stay.
    report.path = *path;

    auto image = platform::ReadWholeFile(*path, device::kMaxDatabaseBytes);
    if (!image) {
        report.outcome = TLoadReport::Outcome::Unreadable;
        report.message = "Cannot open file " + *path + ": " + image.message();
        return report;
    }

    device::TrackStore store;
    const device::ParseOutcome parsed = device::ParseDatabase(*image, store, dataSets_);
    image->clear();
    image->shrink_to_fit();
    device::ComputeSizeTexts(store, files, platform::DecimalSeparator());
    store.ShrinkToFit();

    store_ = std::move(store);
    SongCount = store_.Count();
    report.announced = parsed.announced;
    report.read = SongCount;
    if (parsed.complete) {
        report.outcome = TLoadReport::Outcome::Loaded;
    } else {
        report.outcome = TLoadReport::Outcome::Damaged;
        report.message = parsed.problem;
    }
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
