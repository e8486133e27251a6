#include "cli/JsonLine.h"

#include <array>

namespace cli {

std::string JsonString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back('"');
    for (const char c : text) {
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
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                static constexpr std::array<char, 16> hex = {
                    '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
                out += "\\u00";
                out.push_back(hex[static_cast<unsigned char>(c) >> 4]);
                out.push_back(hex[static_cast<unsigned char>(c) & 0xF]);
            } else {
                out.push_back(c);
            }
        }
    }
    out.push_back('"');
    return out;
}

std::string TrackJson(const TSong& song, std::string_view albumArtist,
                      const device::TrackStore::Numbers& numbers) {
    const std::pair<const char*, const std::string*> texts[] = {
        {"title", &song.Title},       {"location", &song.Location}, {"fileSize", &song.FileSize},
        {"album", &song.Album},       {"artist", &song.Artist},     {"genre", &song.Genre},
        {"filetype", &song.Filetype}, {"comment", &song.Comment},   {"eqSetting", &song.EQSetting},
        {"composer", &song.Composer}, {"grouping", &song.Grouping},
    };
    std::string line = "{";
    for (const auto& [key, value] : texts) {
        line += JsonString(key);
        line += ": ";
        line += JsonString(*value);
        line += ", ";
    }
    line += "\"trackId\": " + std::to_string(song.TrackID);
    line += ", \"albumArtist\": " + JsonString(albumArtist);
    const std::pair<const char*, std::int32_t> values[] = {
        {"trackNumber", numbers.trackNumber},
        {"trackCount", numbers.trackCount},
        {"discNumber", numbers.discNumber},
        {"discCount", numbers.discCount},
        {"year", numbers.year},
        {"duration", numbers.durationMs},
    };
    for (const auto& [key, value] : values)
        line.append(", ").append(JsonString(key)).append(": ").append(std::to_string(value));
    line += "}";
    return line;
}

} // namespace cli
