#include "core/device/TrackStore.h"

#include "core/device/TextCodec.h"

namespace device {

void TrackStore::Reserve(std::size_t tracks, std::size_t textBytes) {
    ids_.reserve(tracks);
    numbers_.reserve(tracks);
    offsets_.reserve(tracks * kDbFieldCount + 1);
    text_.reserve(textBytes);
}

void TrackStore::AppendTrack(std::int32_t trackId, const RawText (&texts)[kDbFieldCount],
                             const Numbers& numbers) {
    for (const RawText& raw : texts) {
        if (raw.encoding == Encoding::Utf8)
            AppendValidUtf8(raw.bytes, text_);
        else
            AppendUtf16LeAsUtf8(raw.bytes, text_);
        offsets_.push_back(static_cast<std::uint32_t>(text_.size()));
    }
    ids_.push_back(trackId);
    numbers_.push_back(numbers);
}

void TrackStore::SetSizeTexts(std::string texts, std::vector<std::uint32_t> offsets) {
    sizeText_ = std::move(texts);
    sizeOffsets_ = std::move(offsets);
}

void TrackStore::ShrinkToFit() {
    text_.shrink_to_fit();
    offsets_.shrink_to_fit();
    ids_.shrink_to_fit();
    numbers_.shrink_to_fit();
    sizeText_.shrink_to_fit();
    sizeOffsets_.shrink_to_fit();
}

std::string_view TrackStore::Text(std::int32_t index, DbField field) const {
    const std::size_t slot = static_cast<std::size_t>(index) * kDbFieldCount + field;
    return std::string_view(text_).substr(offsets_[slot], offsets_[slot + 1] - offsets_[slot]);
}

std::string_view TrackStore::Field(std::int32_t index, SongField field) const {
    switch (field) {
    case SongField::Title:
        return Text(index, kTitle);
    case SongField::FileSize: {
        const auto i = static_cast<std::size_t>(index);
        if (i + 1 >= sizeOffsets_.size())
            return {};
        return std::string_view(sizeText_).substr(sizeOffsets_[i],
                                                  sizeOffsets_[i + 1] - sizeOffsets_[i]);
    }
    case SongField::Album:
        return Text(index, kAlbum);
    case SongField::Artist:
        return Text(index, kArtist);
    case SongField::Genre:
        return Text(index, kGenre);
    case SongField::Filetype:
        return Text(index, kFiletype);
    case SongField::Comment:
        return Text(index, kComment);
    case SongField::EQSetting:
        return Text(index, kEQSetting);
    case SongField::Composer:
        return Text(index, kComposer);
    case SongField::Grouping:
        return Text(index, kGrouping);
    case SongField::Location:
        return Text(index, kLocation);
    }
    return {};
}

TSong TrackStore::Song(std::int32_t index) const {
    TSong song;
    song.Title = Text(index, kTitle);
    song.Location = Text(index, kLocation);
    song.FileSize = Field(index, SongField::FileSize);
    song.Album = Text(index, kAlbum);
    song.Artist = Text(index, kArtist);
    song.Genre = Text(index, kGenre);
    song.Filetype = Text(index, kFiletype);
    song.Comment = Text(index, kComment);
    song.EQSetting = Text(index, kEQSetting);
    song.Composer = Text(index, kComposer);
    song.Grouping = Text(index, kGrouping);
    song.TrackID = TrackId(index);
    return song;
}

std::size_t TrackStore::MemoryBytes() const {
    return text_.capacity() + sizeText_.capacity() + offsets_.capacity() * sizeof(std::uint32_t) +
           sizeOffsets_.capacity() * sizeof(std::uint32_t) +
           ids_.capacity() * sizeof(std::int32_t) + numbers_.capacity() * sizeof(Numbers);
}

} // namespace device
