#include "DemoPlayer.h"

#include "DatabaseBuilder.h"
#include "cli/JsonLine.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unordered_set>
#include <utility>
#include <vector>

namespace demoplayer {

namespace {

namespace fs = std::filesystem;

constexpr int kMusicFolders = 50;

// splitmix64: the same sequence for a seed on every platform and standard library, which the
// standard distributions do not promise.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Always draws once, so later values do not depend on the bound.
    std::uint64_t Below(std::uint64_t bound) {
        const std::uint64_t value = Next();
        return bound == 0 ? 0 : value % bound;
    }
    std::uint64_t Between(std::uint64_t low, std::uint64_t high) {
        const std::uint64_t span = high - low;
        return span == UINT64_MAX ? Next() : low + Below(span + 1);
    }
    bool OneIn(std::uint64_t n) { return Below(n) == 0; }

    template <class T, std::size_t N> const T& Pick(const T (&items)[N]) { return items[Below(N)]; }

    template <class T> void Shuffle(std::vector<T>& items) {
        for (std::size_t i = items.size(); i > 1; --i)
            std::swap(items[i - 1], items[Below(i)]);
    }

private:
    std::uint64_t state_;
};

constexpr std::string_view kTitles[] = {
    "Love Me Do",
    "Stove Top",
    "Svefn-g-englar",
    "Mrs. Robinson",
    "中文歌曲",
    "a;b=c+d[e]\\f'g",
    "Sweet Child O' Mine",
    "Drive",
    "Hells Bells",
    "What? / Why: \"Now\" <live> | *remix*",
    "andata",
    "Untitled",
    "CON",
    "Ace of Spades",
    "Ελληνικά",
    "Intro",
    "Jóga",
    "日本語のタイトル",
    "Ça plane pour moi",
    "Guitar 🎸 Hero",
    "trailing dot.",
    "NUL",
    "COM1",
    "Crème Brûlée",
};

constexpr std::string_view kArtists[] = {
    "Motörhead",         "R.E.M.",           "Ólafur Arnalds", "Beyoncé",
    "Guns N' Roses",     "Sigur Rós",        "The Beatles",    "AC/DC",
    "坂本龍一",          "Prince",           "prince",         "Björk",
    "Simon & Garfunkel", "Σωκράτης Μάλαμας", "宇多田ヒカル",
};

constexpr std::string_view kAlbums[] = {
    "Purple Rain",
    "PURPLE RAIN",
    "Automatic for the People",
    "Appetite for Destruction",
    "Abbey Road",
    "Greatest Hits",
    "Back in Black",
    "Ace of Spades",
    "async",
    "Lemonade",
    "Bookends",
    "Ágætis byrjun",
    "Homogenic",
    "Ὕμνοι",
    "ファンタズマ",
};

constexpr std::string_view kGenres[] = {
    "Folk", "Pop", "Rock", "Ambient", "Electronic", "Post-rock", "Hard Rock", "Κλασική",
};

constexpr std::string_view kComments[] = {
    "ripped with care ♪",
    "Remastered 2009",
    "Live at Wembley; 1986",
    "コメント",
};

constexpr std::string_view kEqSettings[] = {"Rock", "Bass Booster", "Spoken Word", "Acoustic"};

constexpr std::string_view kComposers[] = {
    "J. S. Bach",
    "Erik Satie",
    "Сергей Рахманинов",
    "Hildur Guðnadóttir",
};

constexpr std::string_view kGroupings[] = {"Live", "Demo", "B-Sides"};

constexpr std::string_view kSortArtists[] = {"Beatles, The", "Rolling Stones, The"};

struct FileType {
    std::string_view name;      // empty: the track has no file type
    std::string_view extension; // empty: the file has none
    unsigned weight;
};

constexpr FileType kFileTypes[] = {
    {"MPEG audio file", "mp3", 30},
    {"AAC audio file", "m4a", 25},
    {"Apple Lossless audio file", "m4a", 20},
    {"WAV audio file", "wav", 15},
    {"", "", 10},
};

// Cases every generated player should hold; each goes to its own random track.
enum class Feature {
    None,
    MissingFile,
    ZeroByteFile,
    FolderCaseDiffers,
    NameCaseDiffers,
    NoFileType,
    DuplicateTitleFirst,
    DuplicateTitleSecond,
    DuplicateTitleOtherCase,
    ArtistCaseFirst,
    ArtistCaseSecond,
    TitleWithPunctuation,
    TitleWithEscapes,
    DeviceNameTitle,
    Podcast,
    Chapters,
    Utf8Title,
    Count,
};

enum class FileState { Present, Missing, Empty };

struct DemoTrack {
    std::int32_t id = 0;
    std::string title;
    std::string album;
    std::string artist;
    std::string genre;
    std::string filetype;
    std::string comment;
    std::string eqSetting;
    std::string composer;
    std::string grouping;
    std::string albumArtist;
    std::string sortArtist;
    bool podcast = false;
    bool chapters = false;
    bool utf8Title = false;

    int folder = 0;
    std::string fileName; // as on disk
    std::string location; // as in the database
    FileState state = FileState::Present;
    std::uint64_t bytes = 0;
};

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string AsciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string FolderName(int folder) {
    std::string name = "F00";
    name[1] = static_cast<char>('0' + folder / 10);
    name[2] = static_cast<char>('0' + folder % 10);
    return name;
}

const FileType& PickFileType(Random& random) {
    unsigned total = 0;
    for (const FileType& type : kFileTypes)
        total += type.weight;
    auto roll = static_cast<unsigned>(random.Below(total));
    for (const FileType& type : kFileTypes) {
        if (roll < type.weight)
            return type;
        roll -= type.weight;
    }
    return kFileTypes[0];
}

// Base names are upper case and unique per folder, so names that differ only in case never
// collide on a player's case-blind file system.
std::string UniqueName(Random& random, std::unordered_set<std::string>& used) {
    for (std::size_t length = 4;; ++length) {
        for (int attempt = 0; attempt < 32; ++attempt) {
            std::string name(length, 'A');
            for (char& c : name)
                c = static_cast<char>('A' + random.Below(26));
            if (used.insert(name).second)
                return name;
        }
    }
}

std::vector<Feature> AssignFeatures(Random& random, std::size_t trackCount) {
    std::vector<Feature> features(trackCount, Feature::None);
    std::vector<std::size_t> order(trackCount);
    for (std::size_t i = 0; i < trackCount; ++i)
        order[i] = i;
    random.Shuffle(order);
    const auto count = static_cast<std::size_t>(Feature::Count) - 1;
    for (std::size_t k = 0; k < std::min(count, trackCount); ++k)
        features[order[k]] = static_cast<Feature>(k + 1);
    return features;
}

DemoTrack MakeDemoTrack(Random& random, std::size_t index, Feature feature, std::int32_t id,
                        std::vector<std::unordered_set<std::string>>& usedNames,
                        const Options& options) {
    DemoTrack track;
    track.id = id;

    const std::string_view base = random.Pick(kTitles);
    track.title =
        random.OneIn(4) ? std::string(base) : std::string(base) + " " + std::to_string(index);
    if (random.OneIn(30))
        track.title = AsciiUpper(track.title);
    if (random.OneIn(200))
        track.title.clear();
    track.artist = random.OneIn(20) ? std::string() : std::string(random.Pick(kArtists));
    track.album = random.OneIn(15) ? std::string() : std::string(random.Pick(kAlbums));
    track.genre = random.OneIn(6) ? std::string() : std::string(random.Pick(kGenres));
    const FileType* type = &PickFileType(random);
    track.comment = random.OneIn(5) ? std::string(random.Pick(kComments)) : std::string();
    track.eqSetting = random.OneIn(12) ? std::string(random.Pick(kEqSettings)) : std::string();
    track.composer = random.OneIn(8) ? std::string(random.Pick(kComposers)) : std::string();
    track.grouping = random.OneIn(10) ? std::string(random.Pick(kGroupings)) : std::string();
    track.albumArtist = random.OneIn(6) ? "Various Artists" : "";
    track.sortArtist = random.OneIn(8) ? std::string(random.Pick(kSortArtists)) : std::string();
    track.podcast = random.OneIn(25);
    track.chapters = random.OneIn(12);

    bool folderCase = random.OneIn(40);
    bool nameCase = random.OneIn(40);
    const auto fileRoll = random.Below(40);
    track.state = fileRoll == 0   ? FileState::Missing
                  : fileRoll == 1 ? FileState::Empty
                                  : FileState::Present;
    const std::uint64_t size = random.Between(options.minFileBytes, options.maxFileBytes);

    switch (feature) {
    case Feature::TitleWithPunctuation:
        track.title = "What? / Why: \"Now\" <live> | *remix*";
        break;
    case Feature::TitleWithEscapes:
        track.title = "a;b=c+d[e]\\f'g";
        break;
    case Feature::DeviceNameTitle:
        track.title = "CON";
        break;
    case Feature::DuplicateTitleFirst:
        track.title = "Mrs. Robinson";
        track.album = "Bookends";
        break;
    case Feature::DuplicateTitleSecond:
        track.title = "Mrs. Robinson";
        track.album = "Greatest Hits";
        break;
    case Feature::DuplicateTitleOtherCase:
        track.title = "MRS. ROBINSON";
        track.album = "Homogenic";
        break;
    case Feature::ArtistCaseFirst:
        track.artist = "Prince";
        track.album = "Purple Rain";
        break;
    case Feature::ArtistCaseSecond:
        track.artist = "prince";
        track.album = "PURPLE RAIN";
        break;
    case Feature::MissingFile:
        track.state = FileState::Missing;
        break;
    case Feature::ZeroByteFile:
        track.state = FileState::Empty;
        break;
    case Feature::FolderCaseDiffers:
        folderCase = true;
        track.state = FileState::Present; // found only by a case-blind lookup
        break;
    case Feature::NameCaseDiffers:
        nameCase = true;
        track.state = FileState::Present; // found only by a case-blind lookup
        break;
    case Feature::NoFileType:
        type = &kFileTypes[std::size(kFileTypes) - 1];
        break;
    case Feature::Podcast:
        track.podcast = true;
        break;
    case Feature::Chapters:
        track.chapters = true;
        break;
    case Feature::Utf8Title:
        track.utf8Title = true;
        break;
    case Feature::None:
    case Feature::Count:
        break;
    }
    track.filetype = type->name;
    track.bytes = track.state == FileState::Present ? size : 0;

    track.folder = static_cast<int>(random.Below(kMusicFolders));
    const std::string name = UniqueName(random, usedNames[static_cast<std::size_t>(track.folder)]);
    const std::string extension = type->extension.empty() ? "" : "." + std::string(type->extension);
    track.fileName = name + extension;
    const std::string folder = FolderName(track.folder);
    std::string locationName = track.fileName;
    if (nameCase)
        locationName =
            random.OneIn(2) ? AsciiLower(name) + extension : name + AsciiUpper(extension);
    if (nameCase && locationName == track.fileName) // no extension to change
        locationName = AsciiLower(name);
    track.location =
        ":iPod_Control:Music:" + (folderCase ? AsciiLower(folder) : folder) + ":" + locationName;
    return track;
}

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// Chapter data is not a string item; its bytes at item offset 28 hold a small number that a
// reader taking it for a text length would follow into the middle of the chunk.
std::vector<std::uint8_t> ChapterPayload() {
    std::vector<std::uint8_t> payload(16, 0);
    dbbuild::PutU32(payload, 4, 12);
    for (const char16_t* name : {u"Chapter 1", u"Chapter 2", u"Ending"}) {
        const std::string text = dbbuild::Utf16Bytes(name);
        std::vector<std::uint8_t> atom(12, 0);
        dbbuild::PutU32(atom, 0, static_cast<std::uint32_t>(12 + text.size()));
        atom[4] = 'n';
        atom[5] = 'a';
        atom[6] = 'm';
        atom[7] = 'e';
        dbbuild::PutU32(atom, 8, static_cast<std::uint32_t>(text.size() / 2));
        atom.insert(atom.end(), text.begin(), text.end());
        payload.insert(payload.end(), atom.begin(), atom.end());
    }
    return payload;
}

dbbuild::Track ToDatabaseTrack(Random& random, const DemoTrack& track) {
    dbbuild::Track out;
    out.trackId = track.id;
    // The 64-bit persistent identifier at 0x70, unique as on a real player: a reader that
    // makes one up for a track without one is not timed doing so.
    out.headerValues = {{0x70, track.id}, {0x74, 0x4B53}};
    auto encoding = [&random]() -> std::int32_t {
        const auto roll = random.Below(40);
        return roll == 0 ? 2 : roll == 1 ? 0 : 1;
    };
    // An empty field is left out, or one time in emptyKeptOneIn written as an item with no
    // text (never when it is 0).
    auto add = [&](std::int32_t type, const std::string& text, std::uint64_t emptyKeptOneIn) {
        if (text.empty() && (emptyKeptOneIn == 0 || !random.OneIn(emptyKeptOneIn)))
            return;
        out.items.push_back(dbbuild::StringItem{type, text, encoding()});
    };

    out.items.push_back(dbbuild::StringItem{1, track.title, track.utf8Title ? 2 : encoding()});
    add(4, track.artist, 2);
    add(3, track.album, 2);
    add(6, track.filetype, 4);
    add(8, track.comment, 30);
    out.items.push_back(dbbuild::StringItem{2, track.location, encoding()});
    add(5, track.genre, 2);
    add(7, track.eqSetting, 30);
    add(12, track.composer, 30);
    add(13, track.grouping, 30);
    add(22, track.albumArtist, 0);
    add(23, track.sortArtist, 0);
    if (track.podcast) {
        out.items.push_back(dbbuild::StringItem{14, "An episode description."});
        out.items.push_back(dbbuild::RawItem{
            15, Bytes("http://example.invalid/ep" + std::to_string(track.id) + ".mp3")});
        out.items.push_back(dbbuild::RawItem{16, Bytes("http://example.invalid/feed.rss")});
    }
    if (track.chapters)
        out.items.push_back(dbbuild::RawItem{17, ChapterPayload()});
    if (random.OneIn(5))
        random.Shuffle(out.items);
    return out;
}

void WriteFile(const fs::path& path, const void* data, std::size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file && size > 0)
        file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

void FillRandom(Random& random, std::vector<std::uint8_t>& buffer, std::size_t size) {
    buffer.resize(size);
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t value = random.Next();
        for (int k = 0; k < 8; ++k, value >>= 8)
            buffer[i + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(value);
    }
    for (std::uint64_t value = random.Next(); i < size; ++i, value >>= 8)
        buffer[i] = static_cast<std::uint8_t>(value);
}

void WriteTrackFile(Random& contents, std::vector<std::uint8_t>& buffer, const fs::path& path,
                    std::uint64_t bytes, bool sparse) {
    if (sparse) {
        WriteFile(path, nullptr, 0);
        fs::resize_file(path, bytes);
        return;
    }
    FillRandom(contents, buffer, static_cast<std::size_t>(bytes));
    WriteFile(path, buffer.data(), buffer.size());
}

void AppendJsonField(std::string& line, std::string_view key, std::string_view value) {
    line += line.size() == 1 ? "" : ", ";
    line += cli::JsonString(key);
    line += ": ";
    line += cli::JsonString(value);
}

std::string ExpectedLine(const DemoTrack& track) {
    std::string line = "{";
    AppendJsonField(line, "title", track.title);
    AppendJsonField(line, "location", track.location);
    AppendJsonField(line, "fileSize",
                    track.state == FileState::Missing ? std::string() : SizeText(track.bytes));
    AppendJsonField(line, "album", track.album);
    AppendJsonField(line, "artist", track.artist);
    AppendJsonField(line, "genre", track.genre);
    AppendJsonField(line, "filetype", track.filetype);
    AppendJsonField(line, "comment", track.comment);
    AppendJsonField(line, "eqSetting", track.eqSetting);
    AppendJsonField(line, "composer", track.composer);
    AppendJsonField(line, "grouping", track.grouping);
    line += ", \"trackId\": " + std::to_string(track.id) + "}\n";
    return line;
}

void ClearEarlierOutput(const fs::path& root) {
    const fs::path control = root / "iPod_Control";
    const fs::path expected = root / "expected.jsonl";
    if (!fs::exists(control))
        return;
    if (!fs::exists(expected))
        throw std::runtime_error(root.string() +
                                 " already holds a player folder this tool did not write");
    fs::remove_all(control);
    fs::remove(expected);
}

} // namespace

// Playlists as an owner makes them: a pick across the library, one in reverse, and one that
// holds a track twice. Chosen by position, so they take nothing from the random sequence.
void AddPlaylists(dbbuild::DatabaseBuilder& builder, const std::vector<DemoTrack>& tracks) {
    if (tracks.size() < 4)
        return;
    dbbuild::Playlist roadTrip{"Road Trip", {}};
    for (std::size_t i = 0; i < tracks.size(); i += 3)
        roadTrip.trackIds.push_back(tracks[i].id);
    dbbuild::Playlist quiet{"Quiet Evening", {}};
    for (std::size_t i = tracks.size(); i >= 5; i -= 5)
        quiet.trackIds.push_back(tracks[i - 1].id);
    dbbuild::Playlist onRepeat{"On Repeat", {tracks[1].id, tracks[2].id, tracks[1].id}};
    builder.AddPlaylist(std::move(roadTrip))
        .AddPlaylist(std::move(quiet))
        .AddPlaylist(std::move(onRepeat));
}

Summary WritePlayer(const fs::path& root, const Options& options) {
    if (options.minFileBytes > options.maxFileBytes)
        throw std::invalid_argument("the smallest file size exceeds the largest");
    if (!options.sparse && options.maxFileBytes > (std::uint64_t{1} << 30))
        throw std::invalid_argument("files over 1 GiB need --sparse");

    Random random(options.seed);
    Random contents(options.seed ^ 0x5DEECE66DULL);

    const std::vector<Feature> features = AssignFeatures(random, options.tracks);
    std::vector<std::unordered_set<std::string>> usedNames(kMusicFolders);
    std::vector<DemoTrack> tracks;
    tracks.reserve(options.tracks);
    std::int32_t nextId = 52;
    for (std::size_t i = 0; i < options.tracks; ++i) {
        tracks.push_back(MakeDemoTrack(random, i, features[i], nextId, usedNames, options));
        nextId += 1 + static_cast<std::int32_t>(random.OneIn(8) ? random.Below(3) : 0);
    }

    dbbuild::DatabaseBuilder builder;
    for (std::int32_t type : {5, 6, 8, 10})
        builder.AddDataSet(type, 92 + 8 * random.Below(64), false);
    for (const DemoTrack& track : tracks)
        builder.AddTrack(ToDatabaseTrack(random, track));
    AddPlaylists(builder, tracks);
    const std::vector<std::uint8_t> database = builder.Build();

    fs::create_directories(root);
    ClearEarlierOutput(root);
    const fs::path music = root / "iPod_Control" / "Music";
    fs::create_directories(root / "iPod_Control" / "iTunes");
    for (int folder = 0; folder < kMusicFolders; ++folder)
        fs::create_directories(music / FolderName(folder));
    WriteFile(root / "iPod_Control" / "iTunes" / "iTunesDB", database.data(), database.size());

    Summary summary;
    summary.tracks = tracks.size();
    summary.databaseBytes = database.size();
    std::vector<std::uint8_t> buffer;
    std::string expected;
    expected.reserve(tracks.size() * 320);
    for (const DemoTrack& track : tracks) {
        expected += ExpectedLine(track);
        if (track.state == FileState::Missing) {
            ++summary.filesMissing;
            continue;
        }
        summary.zeroByteFiles += track.state == FileState::Empty ? 1 : 0;
        ++summary.filesWritten;
        WriteTrackFile(contents, buffer, music / FolderName(track.folder) / track.fileName,
                       track.bytes, options.sparse);
    }
    WriteFile(root / "expected.jsonl", expected.data(), expected.size());
    return summary;
}

// Written apart from the library's own size texts on purpose: expected.jsonl is the oracle
// that the reader's output is checked against.
std::string SizeText(std::uint64_t bytes) {
    const double megabytes = static_cast<double>(bytes) / 1024.0 / 1024.0;
    char buffer[128];
    // 15 significant digits in plain notation: the decimal exponent of the rounded value
    // decides how many digits go after the point.
    int decimals = 0;
    if (megabytes != 0) {
        const auto scientific = std::to_chars(buffer, buffer + sizeof buffer, megabytes,
                                              std::chars_format::scientific, 14);
        const char* e = std::find(buffer, scientific.ptr, 'e');
        int exponent = 0;
        const char* digits = e + 1;
        if (digits < scientific.ptr && *digits == '+')
            ++digits;
        std::from_chars(digits, scientific.ptr, exponent);
        decimals = std::max(0, 14 - exponent);
    }
    const auto fixed = std::to_chars(buffer, buffer + sizeof buffer, megabytes,
                                     std::chars_format::fixed, decimals);
    std::string text(buffer, fixed.ptr);
    const auto point = text.find('.');
    if (point != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
        else
            text.resize(std::min(text.size(), point + 3));
    }
    return text + "MB";
}

} // namespace demoplayer
