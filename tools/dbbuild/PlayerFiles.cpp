#include "PlayerFiles.h"

#include "DatabaseBuilder.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace dbbuild {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

void AppendU32Be(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void AppendU24Be(Bytes& out, std::uint32_t value) {
    for (int shift = 16; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void AppendU32Le(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void AppendU16Le(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// An MPEG-4 box: its size, its type, its contents. Written by index into a vector of its
// size: GCC 12 at -O3 sees false overflows in appends to an empty vector.
Bytes Box(const char (&type)[5], const Bytes& contents) {
    Bytes box(8 + contents.size());
    const auto size = static_cast<std::uint32_t>(box.size());
    for (std::size_t i = 0; i < 4; ++i) {
        box[i] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
        box[4 + i] = static_cast<std::uint8_t>(type[i]);
    }
    std::copy(contents.begin(), contents.end(), box.begin() + 8);
    return box;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

Bytes Zeros(std::size_t count) {
    return Bytes(count, 0);
}

// An item of the list: the text in a data box of type 1 (UTF-8).
Bytes ItemBox(const char (&type)[5], const std::string& text) {
    Bytes data;
    AppendU32Be(data, 1); // version 0, type UTF-8
    AppendU32Be(data, 0); // locale
    Append(data, text);
    return Box(type, Box("data", data));
}

} // namespace

Bytes CompressDatabase(const Bytes& database) {
    const std::uint32_t header = GetU32(database, 4);
    if (header < 0xAA || header > database.size())
        throw std::invalid_argument("the file header is too short for the compression mark");
    Bytes out(database.begin(), database.begin() + header);
    out[0xA8] = 1;
    out[0xA9] = 0;
    uLongf size = compressBound(static_cast<uLong>(database.size() - header));
    Bytes stream(size);
    if (compress2(stream.data(), &size, database.data() + header,
                  static_cast<uLong>(database.size() - header), 9) != Z_OK)
        throw std::runtime_error("zlib could not compress the database");
    stream.resize(size);
    out.insert(out.end(), stream.begin(), stream.end());
    return out;
}

Bytes BuildOldShuffleDatabase(const std::vector<std::string>& paths) {
    Bytes out;
    AppendU24Be(out, static_cast<std::uint32_t>(paths.size()));
    AppendU24Be(out, 0x010800);
    AppendU24Be(out, 18);
    out.resize(18, 0);
    for (const std::string& path : paths) {
        const std::size_t start = out.size();
        AppendU24Be(out, 558);
        AppendU24Be(out, 0x5AA501);
        for (int field = 0; field < 6; ++field)
            AppendU24Be(out, 0);
        AppendU24Be(out, 0x64); // volume: unchanged
        AppendU24Be(out, 1);    // MP3
        AppendU24Be(out, 0x200);
        const std::string utf16 = Utf16Bytes(Utf16FromUtf8(path));
        Append(out, utf16.substr(0, 522));
        out.resize(start + 33 + 522, 0);
        out.push_back(1); // played when shuffling
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

Bytes BuildShuffleDatabase(const std::vector<std::string>& paths) {
    constexpr std::uint32_t kHeader = 64, kTrack = 372;
    const auto count = static_cast<std::uint32_t>(paths.size());
    const std::uint32_t trackHeader = 20 + 4 * count;
    Bytes out;
    Append(out, "bdhs");
    AppendU32Le(out, 0x02000003);
    AppendU32Le(out, kHeader);
    AppendU32Le(out, count);
    AppendU32Le(out, 0); // playlists
    out.resize(32, 0);
    AppendU32Le(out, count);
    AppendU32Le(out, kHeader);                                // the track header
    AppendU32Le(out, kHeader + trackHeader + kTrack * count); // the playlist header
    out.resize(kHeader, 0);
    Append(out, "hths");
    AppendU32Le(out, trackHeader);
    AppendU32Le(out, count);
    out.resize(kHeader + 20, 0);
    for (std::uint32_t i = 0; i < count; ++i)
        AppendU32Le(out, kHeader + trackHeader + kTrack * i);
    for (const std::string& path : paths) {
        const std::size_t start = out.size();
        Append(out, "rths");
        AppendU32Le(out, kTrack);
        out.resize(start + 20, 0);
        AppendU32Le(out, 1); // MP3
        Append(out, path.substr(0, 255));
        out.resize(start + kTrack, 0);
    }
    Append(out, "hphs");
    AppendU32Le(out, 20);
    out.resize(out.size() + 12, 0);
    return out;
}

Bytes Mp3WithTags(const Tags& tags) {
    Bytes frames;
    auto frame = [&](const char(&id)[5], const std::string& text) {
        if (text.empty())
            return;
        Bytes body{3}; // UTF-8
        Append(body, text);
        if (id == std::string("COMM")) {
            body = {3, 'e', 'n', 'g', 0}; // language, empty description
            Append(body, text);
        }
        frames.insert(frames.end(), id, id + 4);
        for (int shift = 21; shift >= 0; shift -= 7) // synchsafe in version 4
            frames.push_back(static_cast<std::uint8_t>((body.size() >> shift) & 0x7F));
        frames.push_back(0);
        frames.push_back(0);
        frames.insert(frames.end(), body.begin(), body.end());
    };
    frame("TIT2", tags.title);
    frame("TPE1", tags.artist);
    frame("TALB", tags.album);
    frame("TCON", tags.genre);
    frame("COMM", tags.comment);
    frame("TCOM", tags.composer);
    frame("GRP1", tags.grouping);
    Bytes out{'I', 'D', '3', 4, 0, 0};
    for (int shift = 21; shift >= 0; shift -= 7)
        out.push_back(static_cast<std::uint8_t>((frames.size() >> shift) & 0x7F));
    out.insert(out.end(), frames.begin(), frames.end());
    // 128 kbit/s at 44.1 kHz, stereo: 417 bytes a frame.
    for (int i = 0; i < 4; ++i) {
        const std::size_t start = out.size();
        out.insert(out.end(), {0xFF, 0xFB, 0x90, 0x00});
        out.resize(start + 417, 0);
    }
    return out;
}

Bytes M4aWithTags(const Tags& tags) {
    Bytes ftyp;
    Append(ftyp, "M4A ");
    AppendU32Be(ftyp, 0);
    Append(ftyp, "M4A mp42isom");
    Bytes mvhd = Zeros(100);
    mvhd[14] = 0x03; // timescale 1000
    mvhd[15] = 0xE8;
    Bytes mdhd = Zeros(24);
    mdhd[14] = 0xAC; // timescale 44100
    mdhd[15] = 0x44;
    Bytes hdlr = Zeros(8);
    Append(hdlr, "soun");
    hdlr.resize(25, 0);
    // One AAC sample description: 2 channels, 16 bits, 44.1 kHz.
    Bytes mp4a = Zeros(6);
    AppendU16Le(mp4a, 0x0100); // data reference index 1, big-endian
    mp4a.resize(16, 0);
    mp4a.insert(mp4a.end(), {0, 2, 0, 16, 0, 0, 0, 0, 0xAC, 0x44, 0, 0});
    Bytes stsd = Zeros(4);
    AppendU32Be(stsd, 1);
    const Bytes sample = Box("mp4a", mp4a);
    stsd.insert(stsd.end(), sample.begin(), sample.end());
    const Bytes stbl = Box("stbl", Box("stsd", stsd));
    const Bytes trak =
        Box("trak",
            Join({Box("tkhd", Zeros(84)),
                  Box("mdia", Join({Box("mdhd", mdhd), Box("hdlr", hdlr), Box("minf", stbl)}))}));
    Bytes list;
    auto item = [&](const char(&type)[5], const std::string& text) {
        if (!text.empty()) {
            const Bytes box = ItemBox(type, text);
            list.insert(list.end(), box.begin(), box.end());
        }
    };
    item("\xA9nam", tags.title);
    item("\xA9"
         "ART",
         tags.artist);
    item("\xA9"
         "alb",
         tags.album);
    item("\xA9gen", tags.genre);
    item("\xA9"
         "cmt",
         tags.comment);
    item("\xA9wrt", tags.composer);
    item("\xA9grp", tags.grouping);
    Bytes metaHdlr = Zeros(8);
    Append(metaHdlr, "mdirappl");
    metaHdlr.resize(25, 0);
    Bytes meta = Zeros(4);
    const Bytes metaBody = Join({Box("hdlr", metaHdlr), Box("ilst", list)});
    meta.insert(meta.end(), metaBody.begin(), metaBody.end());
    const Bytes moov = Box("moov", Join({Box("mvhd", mvhd), trak, Box("udta", Box("meta", meta))}));
    return Join({Box("ftyp", ftyp), moov, Box("mdat", Zeros(16))});
}

Bytes WavWithoutTags() {
    constexpr std::uint32_t kSamples = 64;
    Bytes out;
    Append(out, "RIFF");
    AppendU32Le(out, 36 + kSamples * 4);
    Append(out, "WAVEfmt ");
    AppendU32Le(out, 16);
    AppendU16Le(out, 1);     // PCM
    AppendU16Le(out, 2);     // channels
    AppendU32Le(out, 44100); // sample rate
    AppendU32Le(out, 44100 * 4);
    AppendU16Le(out, 4);
    AppendU16Le(out, 16);
    Append(out, "data");
    AppendU32Le(out, kSamples * 4);
    out.resize(out.size() + kSamples * 4, 0);
    return out;
}

} // namespace dbbuild
