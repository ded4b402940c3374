#include "encoding/id3_tags.h"

#include "encoding/id3_genres.h"
#include "platform/utf.h"

#include <algorithm>
#include <cstring>

namespace tesslow {

namespace {

constexpr char kUtf8Encoding = 3;

const std::string& TitleOf(const AlbumInfo& tags, std::uint32_t trackIndex)
{
    static const std::string kNone;
    return trackIndex < tags.trackTitles.size() ? tags.trackTitles[trackIndex] : kNone;
}

// Four bytes of seven bits each, most significant first.
void AppendSynchsafe(std::string& out, std::uint32_t value)
{
    for (int shift = 21; shift >= 0; shift -= 7) out += static_cast<char>((value >> shift) & 0x7F);
}

void AppendTextFrame(std::string& frames, const char* id, std::string_view rawText)
{
    const std::string text = DisplayUtf8(rawText);
    if (text.empty()) return;
    frames += id;
    AppendSynchsafe(frames, static_cast<std::uint32_t>(text.size() + 1));
    frames.append(2, '\0');  // flags
    frames += kUtf8Encoding;
    frames += text;
}

bool IsFourDigitYear(std::string_view year)
{
    return year.size() == 4 && std::all_of(year.begin(), year.end(), [](char c) { return c >= '0' && c <= '9'; });
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
    if (tags.trackTitles.empty()) return {};
    std::string frames;
    AppendTextFrame(frames, "TIT2", TitleOf(tags, trackIndex));
    AppendTextFrame(frames, "TPE1", tags.artist);
    AppendTextFrame(frames, "TALB", tags.album);
    AppendTextFrame(frames, "TYER", tags.year);
    if (IsFourDigitYear(tags.year)) AppendTextFrame(frames, "TDRC", tags.year);
    AppendTextFrame(frames, "TCON", tags.genre);
    AppendTextFrame(frames, "TRCK", std::to_string(trackNumber));
    if (trackIndex < tags.isrcs.size()) AppendTextFrame(frames, "TSRC", tags.isrcs[trackIndex]);

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
    if (tags.trackTitles.empty() || TitleOf(tags, trackIndex).empty()) return {};
    std::string tag(128, '\0');
    std::memcpy(&tag[0], "TAG", 3);
    PutField(tag, 3, 30, TitleOf(tags, trackIndex));
    PutField(tag, 33, 30, tags.artist);
    PutField(tag, 63, 30, tags.album);
    PutField(tag, 93, 4, tags.year);
    PutField(tag, 97, 28, tags.comment);
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
