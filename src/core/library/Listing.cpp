#include "core/library/Listing.h"

#include "core/library/Search.h"
#include "core/device/TiPod.h"
#include "platform/Text.h"

#include <algorithm>
#include <unordered_map>

namespace browser {
namespace {

// Tracks whose field equals one of the names. Each distinct spelling is compared once, by
// bisection in the names sorted under the locale, so a long name list over a large library
// costs a few comparisons per distinct value rather than one per track and name.
std::vector<std::int32_t> ListByField(const TiPod& library, SongField field,
                                      std::vector<std::string> names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return platform::CompareText(a, b) < 0;
    });
    std::unordered_map<std::string_view, bool> chosen;
    std::vector<std::int32_t> rows;
    for (std::int32_t i = 0; i < library.GetSongCount(); ++i) {
        const std::string_view value = library.Field(i, field);
        auto [known, inserted] = chosen.try_emplace(value, false);
        if (inserted) {
            const auto at = std::lower_bound(names.begin(), names.end(), value,
                                             [](const std::string& name, std::string_view v) {
                                                 return platform::CompareText(name, v) < 0;
                                             });
            known->second = at != names.end() && platform::CompareText(*at, value) == 0;
        }
        if (known->second)
            rows.push_back(i);
    }
    return rows;
}

std::vector<std::int32_t> ListBySearch(const TiPod& library, const std::string& text) {
    static constexpr SongField kSearched[] = {SongField::Title, SongField::Album, SongField::Artist,
                                              SongField::Composer, SongField::Comment};
    std::vector<std::int32_t> rows;
    for (std::int32_t i = 0; i < library.GetSongCount(); ++i)
        for (SongField field : kSearched)
            if (SearchFunc(text, library.Field(i, field))) {
                rows.push_back(i);
                break;
            }
    return rows;
}

// A track twice in a playlist is one file: listed twice it would be copied twice.
std::vector<std::int32_t> ListByPlaylist(const TiPod& library,
                                         const std::vector<std::string>& names) {
    std::vector<std::int32_t> rows;
    std::vector<bool> listed(static_cast<std::size_t>(library.GetSongCount()), false);
    for (const TPlaylist& playlist : library.Playlists()) {
        const bool chosen = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            return platform::CompareText(name, playlist.name) == 0;
        });
        if (!chosen)
            continue;
        for (std::int32_t track : playlist.tracks)
            if (!listed[static_cast<std::size_t>(track)]) {
                listed[static_cast<std::size_t>(track)] = true;
                rows.push_back(track);
            }
    }
    return rows;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text += ',';
        text += names[i];
    }
    return text;
}

} // namespace

std::vector<std::int32_t> ListTracks(const TiPod& library, TDisplayMode mode,
                                     const std::vector<std::string>& names) {
    switch (mode) {
    case TDisplayMode::dmAll: {
        std::vector<std::int32_t> rows(static_cast<std::size_t>(library.GetSongCount()));
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i] = static_cast<std::int32_t>(i);
        return rows;
    }
    case TDisplayMode::dmAlbums:
        return ListByField(library, SongField::Album, names);
    case TDisplayMode::dmArtists:
        return ListByField(library, SongField::Artist, names);
    case TDisplayMode::dmFileTypes:
        return ListByField(library, SongField::Filetype, names);
    case TDisplayMode::dmPlaylists:
        return ListByPlaylist(library, names);
    case TDisplayMode::dmSearch:
        return names.empty() ? std::vector<std::int32_t>() : ListBySearch(library, names.front());
    case TDisplayMode::dmEmpty:
        break;
    }
    return {};
}

std::optional<std::string> ListingStatus(TDisplayMode mode, const std::vector<std::string>& names,
                                         std::int32_t songCount) {
    if (songCount <= 0)
        return std::nullopt;
    switch (mode) {
    case TDisplayMode::dmAll:
        return std::to_string(songCount) + " Files found in your iPod.";
    case TDisplayMode::dmAlbums:
        return "Files in album " + Joined(names);
    case TDisplayMode::dmArtists:
        return "Files by artist " + Joined(names);
    case TDisplayMode::dmFileTypes:
        return (names.empty() ? std::string() : names.front()) + " Files";
    case TDisplayMode::dmPlaylists:
        return "Files in playlist " + Joined(names);
    case TDisplayMode::dmEmpty:
    case TDisplayMode::dmSearch:
        break;
    }
    return std::nullopt;
}

std::string CutStatusText(std::string_view text) {
    // Counted in characters, so a cut never splits one.
    constexpr std::size_t kShown = 46;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (characters == kShown)
            return std::string(text.substr(0, i)) + "...";
        ++characters;
    }
    return std::string(text);
}

std::string SelectionCountText(std::int64_t count) {
    return std::to_string(count) + (count < 2 ? " file" : " files") + " Selected";
}

} // namespace browser
