#include "encoding/track_tags.h"

#include "platform/utf.h"

#include <algorithm>

namespace tesslow {

namespace {

template <typename T>
const T* At(const std::vector<T>& list, std::uint32_t index)
{
    return index < list.size() ? &list[index] : nullptr;
}

void Add(std::vector<TrackTag>& out, TagField field, std::string_view raw)
{
    std::string value = DisplayUtf8(raw);
    if (!value.empty()) out.push_back({field, std::move(value)});
}

void AddEach(std::vector<TrackTag>& out, TagField field, const std::vector<std::string>& values)
{
    for (const std::string& value : values) Add(out, field, value);
}

}  // namespace

bool IsMusicBrainzId(std::string_view text)
{
    if (text.size() != 36) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (dash ? c != '-' : !hex) return false;
    }
    return true;
}

std::vector<TrackTag> BuildTrackTags(const AlbumInfo& tags, std::uint32_t trackIndex, std::uint32_t trackNumber)
{
    std::vector<TrackTag> out;
    if (tags.trackTitles.empty()) return out;

    static const TrackCredit kNoCredit;
    const TrackCredit* ownCredit = At(tags.credits, trackIndex);
    const TrackCredit& credit = ownCredit && !ownCredit->title.empty() ? *ownCredit : kNoCredit;
    const std::string* listedTitle = At(tags.trackTitles, trackIndex);
    const std::string& title = !credit.title.empty() ? credit.title : listedTitle ? *listedTitle : kNoCredit.title;
    const std::string& artist = !credit.artist.empty() ? credit.artist : tags.artist;
    const bool ownArtist = DisplayUtf8(artist) != DisplayUtf8(tags.artist);

    Add(out, TagField::Title, title);
    Add(out, TagField::Artist, artist);
    Add(out, TagField::Album, tags.album);
    if (ownArtist || !tags.artistIds.empty()) Add(out, TagField::AlbumArtist, tags.artist);
    Add(out, TagField::TrackNumber, std::to_string(trackNumber));
    // A track beyond the list shows that the list does not count the disc's
    // tracks; a number outside it (0 for the hidden track) has no total either.
    const std::size_t listed = std::max(tags.trackTitles.size(), tags.credits.size());
    if (trackIndex < listed && trackNumber >= 1 && trackNumber <= listed)
        Add(out, TagField::TrackTotal, std::to_string(listed));
    if (tags.discTotal > 0) {
        if (tags.discNumber > 0) Add(out, TagField::DiscNumber, std::to_string(tags.discNumber));
        Add(out, TagField::DiscTotal, std::to_string(tags.discTotal));
    }
    Add(out, TagField::Date, !tags.date.empty() ? tags.date : tags.year);
    Add(out, TagField::Genre, tags.genre);
    Add(out, TagField::Comment, tags.comment);
    if (const std::string* isrc = At(tags.isrcs, trackIndex)) Add(out, TagField::Isrc, *isrc);
    Add(out, TagField::Barcode, tags.barcode);
    Add(out, TagField::CatalogNumber, tags.catalogNumber);
    Add(out, TagField::Label, tags.label);
    Add(out, TagField::Media, tags.media);
    Add(out, TagField::ReleaseCountry, tags.country);
    if (IsMusicBrainzId(tags.source)) Add(out, TagField::ReleaseId, tags.source);
    Add(out, TagField::ReleaseGroupId, tags.releaseGroupId);
    // Album ids stand for the track's artist only when the track has no artist of its own.
    AddEach(out, TagField::ArtistId, !credit.artistIds.empty() ? credit.artistIds
                                     : ownArtist               ? std::vector<std::string>{}
                                                               : tags.artistIds);
    AddEach(out, TagField::AlbumArtistId, tags.artistIds);
    if (ownCredit) {
        Add(out, TagField::RecordingId, ownCredit->recordingId);
        Add(out, TagField::ReleaseTrackId, ownCredit->releaseTrackId);
    }
    Add(out, TagField::DiscId, tags.discId);
    return out;
}

}  // namespace tesslow
