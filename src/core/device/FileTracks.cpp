#include "core/device/FileTracks.h"

#include <algorithm>
#include <filesystem>
#include <tuple>

#ifdef KESTRUNE_WITH_TAGLIB
#include <taglib/aifffile.h>
#include <taglib/fileref.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>
#endif

namespace device {
namespace {

// The extension in lower case (ASCII letters only: extensions of music files are).
std::string Extension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    std::string ext(dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

// The kind by the extension alone, for files TagLib does not read.
std::string KindOfExtension(std::string_view name) {
    const std::string ext = Extension(name);
    if (ext == "mp3" || ext == "mp2")
        return "MPEG audio file";
    if (ext == "m4a" || ext == "m4b" || ext == "aac" || ext == "m4p")
        return "AAC audio file";
    if (ext == "wav")
        return "WAV audio file";
    if (ext == "aif" || ext == "aiff")
        return "AIFF audio file";
    if (ext == "m4v" || ext == "mp4" || ext == "mov")
        return "MPEG-4 video file";
    return {};
}

#ifdef KESTRUNE_WITH_TAGLIB
std::string Utf8(const TagLib::String& text) {
    return text.to8Bit(true);
}

std::string FirstOf(const TagLib::PropertyMap& properties,
                    std::initializer_list<const char*> keys) {
    for (const char* key : keys)
        if (auto found = properties.find(key);
            found != properties.end() && !found->second.isEmpty())
            return Utf8(found->second.front());
    return {};
}

// "3/12" as 3 and 12; a part that is no number is 0.
std::pair<std::int32_t, std::int32_t> NumberAndCount(const std::string& text) {
    auto number = [](std::string_view part) {
        std::int32_t value = 0;
        for (char c : part) {
            if (c < '0' || c > '9' || value > 100000)
                return 0;
            value = value * 10 + (c - '0');
        }
        return value;
    };
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos)
        return {number(text), 0};
    return {number(std::string_view(text).substr(0, slash)),
            number(std::string_view(text).substr(slash + 1))};
}

std::string KindOfFile(TagLib::File* file, std::string_view name) {
    if (dynamic_cast<TagLib::MPEG::File*>(file) != nullptr)
        return "MPEG audio file";
    if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) {
        const auto* properties = mp4->audioProperties();
        if (properties != nullptr && properties->codec() == TagLib::MP4::Properties::ALAC)
            return "Apple Lossless audio file";
        const std::string ext = Extension(name);
        return ext == "m4v" || ext == "mp4" ? "MPEG-4 video file" : "AAC audio file";
    }
    if (dynamic_cast<TagLib::RIFF::WAV::File*>(file) != nullptr)
        return "WAV audio file";
    if (dynamic_cast<TagLib::RIFF::AIFF::File*>(file) != nullptr)
        return "AIFF audio file";
    return KindOfExtension(name);
}
#endif

} // namespace

std::vector<MusicFile> ListMusicFiles(PlayerFiles& files) {
    std::vector<MusicFile> music;
    const auto folders = files.List({"iPod_Control", "Music"});
    if (!folders)
        return music;
    for (const PlayerFiles::Listed& folder : *folders) {
        if (!folder.isDirectory || folder.name.empty() ||
            (folder.name.front() != 'F' && folder.name.front() != 'f'))
            continue;
        const auto entries = files.List({"iPod_Control", "Music", folder.name});
        if (!entries)
            continue;
        for (const PlayerFiles::Listed& entry : *entries)
            if (!entry.isDirectory)
                music.push_back(
                    {":iPod_Control:Music:" + folder.name + ":" + entry.name, entry.file});
    }
    return music;
}

bool ReadsFileTags() {
#ifdef KESTRUNE_WITH_TAGLIB
    return true;
#else
    return false;
#endif
}

FileTags ReadFileTags(const std::string& path, std::string_view fileName) {
    FileTags tags;
#ifdef KESTRUNE_WITH_TAGLIB
    // The path as the system's own file names (wide on Windows).
    const std::filesystem::path native(std::u8string(path.begin(), path.end()));
    const TagLib::FileRef ref(native.c_str(), true, TagLib::AudioProperties::Fast);
    if (!ref.isNull()) {
        if (const TagLib::Tag* tag = ref.tag()) {
            tags.title = Utf8(tag->title());
            tags.artist = Utf8(tag->artist());
            tags.album = Utf8(tag->album());
            tags.genre = Utf8(tag->genre());
            tags.comment = Utf8(tag->comment());
        }
        const TagLib::PropertyMap properties = ref.file()->properties();
        tags.composer = FirstOf(properties, {"COMPOSER"});
        tags.grouping = FirstOf(properties, {"GROUPING", "CONTENTGROUP"});
        tags.albumArtist = FirstOf(properties, {"ALBUMARTIST"});
        TrackStore::Numbers& numbers = tags.numbers;
        std::tie(numbers.trackNumber, numbers.trackCount) =
            NumberAndCount(FirstOf(properties, {"TRACKNUMBER"}));
        std::tie(numbers.discNumber, numbers.discCount) =
            NumberAndCount(FirstOf(properties, {"DISCNUMBER"}));
        if (const TagLib::Tag* tag = ref.tag())
            numbers.year = static_cast<std::int32_t>(tag->year());
        if (const TagLib::AudioProperties* audio = ref.audioProperties())
            numbers.durationMs = audio->lengthInMilliseconds();
        tags.filetype = KindOfFile(ref.file(), fileName);
    }
#else
    (void)path;
#endif
    if (tags.filetype.empty())
        tags.filetype = KindOfExtension(fileName);
    if (tags.title.empty()) {
        const std::size_t dot = fileName.rfind('.');
        tags.title = std::string(
            dot == std::string_view::npos || dot == 0 ? fileName : fileName.substr(0, dot));
    }
    return tags;
}

} // namespace device
