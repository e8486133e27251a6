#include "cli/JsonLine.h"

#include <array>
#include <charconv>

namespace cli {
namespace {

bool NeedsEscape(char c) {
    return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
}

void AppendNumber(std::string& out, std::int32_t value) {
    std::array<char, 12> digits;
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    out.append(digits.data(), end);
}

} // namespace

void AppendJsonString(std::string& out, std::string_view text) {
    out.push_back('"');
    // Runs without a character to escape, the whole text as a rule, go over in one append.
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!NeedsEscape(c))
            continue;
        out.append(text.data() + start, i - start);
        start = i + 1;
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default: {
            static constexpr std::array<char, 16> hex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                         '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
            const char escaped[] = {'\\',
                                    'u',
                                    '0',
                                    '0',
                                    hex[static_cast<unsigned char>(c) >> 4],
                                    hex[static_cast<unsigned char>(c) & 0xF]};
            out.append(escaped, sizeof escaped);
        }
        }
    }
    out.append(text.data() + start, text.size() - start);
    out.push_back('"');
}

std::string JsonString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    AppendJsonString(out, text);
    return out;
}

void AppendTrackJson(std::string& out, const TrackLine& track) {
    const std::pair<std::string_view, std::string_view> texts[] = {
        {"{\"title\": ", track.title},          {", \"location\": ", track.location},
        {", \"fileSize\": ", track.fileSize},   {", \"album\": ", track.album},
        {", \"artist\": ", track.artist},       {", \"genre\": ", track.genre},
        {", \"filetype\": ", track.filetype},   {", \"comment\": ", track.comment},
        {", \"eqSetting\": ", track.eqSetting}, {", \"composer\": ", track.composer},
        {", \"grouping\": ", track.grouping},
    };
    for (const auto& [key, value] : texts) {
        out += key;
        AppendJsonString(out, value);
    }
    out += ", \"trackId\": ";
    AppendNumber(out, track.trackId);
    out += ", \"albumArtist\": ";
    AppendJsonString(out, track.albumArtist);
    const device::TrackStore::Numbers& numbers = track.numbers;
    const std::pair<std::string_view, std::int32_t> values[] = {
        {", \"trackNumber\": ", numbers.trackNumber},
        {", \"trackCount\": ", numbers.trackCount},
        {", \"discNumber\": ", numbers.discNumber},
        {", \"discCount\": ", numbers.discCount},
        {", \"year\": ", numbers.year},
        {", \"duration\": ", numbers.durationMs},
    };
    for (const auto& [key, value] : values) {
        out += key;
        AppendNumber(out, value);
    }
    out += '}';
}

std::string TrackJson(const TSong& song, std::string_view albumArtist,
                      const device::TrackStore::Numbers& numbers) {
    std::string line;
    AppendTrackJson(line, {song.Title, song.Location, song.FileSize, song.Album, song.Artist,
                           song.Genre, song.Filetype, song.Comment, song.EQSetting, song.Composer,
                           song.Grouping, song.TrackID, albumArtist, numbers});
    return line;
}

} // namespace cli
