#include "encoding/id3_tags.h"

#include "encoding/id3_genres.h"
#include "encoding/tag_names.h"
#include "platform/utf.h"

#include <algorithm>
#include <cstring>

namespace tesslow {

namespace {

constexpr char kUtf8Encoding = 3;

// The first value of `field`, empty when the track has none.
std::string ValueOf(const std::vector<TrackTag>& tags, TagField field)
{
    for (const TrackTag& tag : tags)
        if (tag.field == field) return tag.value;
    return {};
}

// Four bytes of seven bits each, most significant first.
void AppendSynchsafe(std::string& out, std::uint32_t value)
{
    for (int shift = 21; shift >= 0; shift -= 7) out += static_cast<char>((value >> shift) & 0x7F);
}

void AppendFrame(std::string& frames, std::string_view id, std::string_view body)
{
    frames += id;
    AppendSynchsafe(frames, static_cast<std::uint32_t>(body.size()));
    frames.append(2, '\0');  // flags
    frames += body;
}

void AppendTextFrame(std::string& frames, std::string_view id, std::string_view rawText)
{
    const std::string text = DisplayUtf8(rawText);
    if (!text.empty()) AppendFrame(frames, id, kUtf8Encoding + text);
}

// One frame for a (name, value) pair of NamedTags: a text frame, a TXXX with
// its description, a COMM without description, or the UFID of an owner. The
// value is already clean; several values are separated by zero bytes, as
// ID3v2.4 text frames allow.
void AppendNamedFrame(std::string& frames, std::string_view name, const std::string& value)
{
    const std::size_t colon = name.find(':');
    const std::string_view id = name.substr(0, colon);
    const std::string_view detail = colon == std::string_view::npos ? std::string_view() : name.substr(colon + 1);
    if (id == "TXXX") {
        AppendFrame(frames, id, kUtf8Encoding + std::string(detail) + '\0' + value);
    } else if (id == "UFID") {
        AppendFrame(frames, id, std::string(detail) + '\0' + value.substr(0, 64));  // at most 64 bytes of id
    } else if (id == "COMM") {
        // Language "eng" and an empty description, as Picard writes its comment.
        AppendFrame(frames, id, kUtf8Encoding + std::string("eng") + '\0' + value);
    } else {
        AppendFrame(frames, id, kUtf8Encoding + value);
    }
}

bool IsDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "yyyy", "yyyy-MM" or "yyyy-MM-dd": the timestamps TDRC may carry.
bool IsTimestamp(std::string_view date)
{
    if (date.size() != 4 && date.size() != 7 && date.size() != 10) return false;
    for (std::size_t at = 4; at < date.size(); at += 3)
        if (date[at] != '-' || !IsDigits(date.substr(at + 1, 2))) return false;
    return IsDigits(date.substr(0, 4));
}

// The text as ISO-8859-1 bytes.
std::string Latin1(std::string_view utf8)
{
    const std::string text = DisplayUtf8(utf8);
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t c = DecodeUtf8(text, pos);
        out += c <= 0xFF ? static_cast<char>(c) : '?';
    }
    return out;
}

void PutField(std::string& tag, std::size_t offset, std::size_t width, std::string_view utf8)
{
    const std::string bytes = Latin1(utf8);
    std::memcpy(&tag[offset], bytes.data(), std::min(width, bytes.size()));
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace

std::string BuildId3v2Tag(const AlbumInfo& tags, std::uint32_t trackIndex)
{
    return BuildId3v2Tag(tags, trackIndex, trackIndex + 1);
}

std::string BuildId3v2Tag(const AlbumInfo& tags, std::uint32_t trackIndex, std::uint32_t trackNumber)
{
    const auto named = NamedTags(BuildTrackTags(tags, trackIndex, trackNumber), TagFormat::Id3v2);
    if (named.empty()) return {};
    std::string frames;
    for (const auto& [name, value] : named) {
        if (name == "TDRC") {
            // TYER, the version-3 year, for the readers that look only for
            // it; but only for a bare year: FFmpeg lets TYER replace TDRC,
            // which would cut a full date down to its year.
            if (!IsTimestamp(value) || value.size() == 4) AppendTextFrame(frames, "TYER", value);
            if (!IsTimestamp(value)) continue;
        }
        AppendNamedFrame(frames, name, value);
    }

    std::string tag = "ID3";
    tag += '\x04';           // version 2.4
    tag.append(2, '\0');     // revision 0, no flags
    AppendSynchsafe(tag, static_cast<std::uint32_t>(frames.size()));
    return tag + frames;
}

std::string BuildId3v1Tag(const AlbumInfo& tags, std::uint32_t trackIndex)
{
    return BuildId3v1Tag(tags, trackIndex, trackIndex + 1);
}

std::string BuildId3v1Tag(const AlbumInfo& tags, std::uint32_t trackIndex, std::uint32_t trackNumber)
{
    const std::vector<TrackTag> fields = BuildTrackTags(tags, trackIndex, trackNumber);
    const std::string title = ValueOf(fields, TagField::Title);
    if (title.empty()) return {};
    std::string tag(128, '\0');
    std::memcpy(&tag[0], "TAG", 3);
    PutField(tag, 3, 30, title);
    PutField(tag, 33, 30, ValueOf(fields, TagField::Artist));
    PutField(tag, 63, 30, ValueOf(fields, TagField::Album));
    PutField(tag, 93, 4, ValueOf(fields, TagField::Date));
    PutField(tag, 97, 28, ValueOf(fields, TagField::Comment));
    // Byte 125 stays zero: it marks byte 126 as the track number (ID3v1.1).
    const std::uint64_t number = trackNumber;
    tag[126] = static_cast<char>(number <= 255 ? number : 0);
    tag[127] = static_cast<char>(Id3v1GenreNumber(tags.genre));
    return tag;
}

std::uint8_t Id3v1GenreNumber(std::string_view genre)
{
    const std::string text = Latin1(genre);
    if (text.empty()) return 255;
    for (std::size_t number = 0; number < kId3v1Genres.size(); ++number)
        if (EqualIgnoringCase(text, kId3v1Genres[number])) return static_cast<std::uint8_t>(number);
    return 255;
}

}  // namespace tesslow
