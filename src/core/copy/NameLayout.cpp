#include "core/copy/NameLayout.h"

#include "core/copy/TargetNames.h"
#include "core/device/TiPod.h"
#include "platform/Paths.h"

#include <optional>
#include <vector>

namespace copy {
namespace {

struct Field {
    std::string_view name;
    int width = 0; // zeros to pad a number to
};

// The fields of one part, between its braces; nothing when a brace is left open or a field is
// not known.
std::optional<std::vector<std::pair<std::string_view, std::optional<Field>>>>
Pieces(std::string_view part) {
    static constexpr std::string_view kKnown[] = {
        "title", "artist", "albumartist", "album", "genre", "composer", "year", "track", "disc"};
    std::vector<std::pair<std::string_view, std::optional<Field>>> pieces;
    while (!part.empty()) {
        const std::size_t open = part.find('{');
        const std::size_t close = part.find('}');
        if (open == std::string_view::npos) {
            if (close != std::string_view::npos)
                return std::nullopt;
            pieces.emplace_back(part, std::nullopt);
            break;
        }
        if (close == std::string_view::npos || close < open)
            return std::nullopt;
        if (open > 0)
            pieces.emplace_back(part.substr(0, open), std::nullopt);
        std::string_view inside = part.substr(open + 1, close - open - 1);
        Field field;
        if (const std::size_t colon = inside.find(':'); colon != std::string_view::npos) {
            const std::string_view width = inside.substr(colon + 1);
            if (width.empty() || width.size() > 2)
                return std::nullopt;
            for (char c : width) {
                if (c < '0' || c > '9')
                    return std::nullopt;
                field.width = field.width * 10 + (c - '0');
            }
            inside = inside.substr(0, colon);
        }
        bool known = false;
        for (std::string_view name : kKnown)
            known = known || name == inside;
        if (!known)
            return std::nullopt;
        field.name = inside;
        pieces.emplace_back(std::string_view(), field);
        part = part.substr(close + 1);
    }
    return pieces;
}

std::vector<std::string_view> Parts(std::string_view layout) {
    std::vector<std::string_view> parts;
    while (!layout.empty()) {
        const std::size_t slash = layout.find('/');
        const std::string_view part = layout.substr(0, slash);
        if (!part.empty())
            parts.push_back(part);
        if (slash == std::string_view::npos)
            break;
        layout = layout.substr(slash + 1);
    }
    return parts;
}

std::string Number(std::int32_t value, int width) {
    if (value <= 0)
        return {};
    std::string text = std::to_string(value);
    if (text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

std::string Value(const Field& field, const TiPod& library, std::int32_t track) {
    auto text = [&](SongField which) { return std::string(library.Field(track, which)); };
    const auto& numbers = library.Numbers(track);
    if (field.name == "title")
        return text(SongField::Title);
    if (field.name == "artist" || field.name == "albumartist") {
        std::string artist =
            field.name == "albumartist" ? std::string(library.AlbumArtist(track)) : std::string();
        if (artist.empty())
            artist = text(SongField::Artist);
        return artist.empty() ? "Unknown Artist" : artist;
    }
    if (field.name == "album") {
        const std::string album = text(SongField::Album);
        return album.empty() ? "Unknown Album" : album;
    }
    if (field.name == "genre")
        return text(SongField::Genre);
    if (field.name == "composer")
        return text(SongField::Composer);
    if (field.name == "year")
        return Number(numbers.year, field.width);
    if (field.name == "track")
        return Number(numbers.trackNumber, field.width);
    return Number(numbers.discNumber, field.width);
}

} // namespace

platform::Status CheckLayout(std::string_view layout) {
    const auto parts = Parts(layout);
    if (parts.empty())
        return platform::Status::Error("the layout names no file");
    for (std::string_view part : parts)
        if (!Pieces(part))
            return platform::Status::Error(
                "the layout part \"" + std::string(part) +
                "\" has an unknown field or a brace left open (fields: {title} {artist} "
                "{albumartist} {album} {genre} {composer} {year} {track} {disc}, numbers "
                "padded as {track:02})");
    return platform::Status::Ok();
}

std::string LayoutPath(std::string_view layout, const TiPod& library, std::int32_t track) {
    const std::string extension = LocationExtension(library.Field(track, SongField::Location));
    const auto parts = Parts(layout);
    std::string path;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::string text;
        bool missingFirst = false;            // the part begins with a field that is empty
        const auto pieces = Pieces(parts[i]); // kept: the loop refers into it
        for (const auto& [literal, field] : *pieces) {
            if (field) {
                const std::string value = Value(*field, library, track);
                missingFirst = missingFirst || (text.empty() && value.empty());
                text += value;
            } else if (text.empty() && missingFirst) {
                // The blanks and dashes after a missing number would begin the name.
                const std::size_t start = literal.find_first_not_of(" -");
                text +=
                    start == std::string_view::npos ? std::string_view() : literal.substr(start);
            } else {
                text += literal;
            }
        }
        const bool last = i + 1 == parts.size();
        if (!path.empty())
            path.push_back(platform::kPathSeparator);
        path += TargetFileName(text, last ? std::string_view(extension) : std::string_view());
    }
    return path;
}

} // namespace copy
