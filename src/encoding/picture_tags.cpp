#include "encoding/picture_tags.h"

#include <cstdint>

namespace tesslow {

namespace {

constexpr char kFrontCover = 3;

void AppendBigEndian(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void AppendLittleEndian(std::string& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// ASCII only: a MIME type is.
void AppendUtf16Text(std::string& out, std::string_view ascii)
{
    for (const char c : ascii) {
        out += c;
        out += '\0';
    }
    out.append(2, '\0');
}

}  // namespace

std::shared_ptr<const CoverPicture> AskCover(const CoverSource& source) { return source ? source() : nullptr; }

std::string FlacPictureBody(const CoverPicture& picture)
{
    std::string out;
    AppendBigEndian(out, kFrontCover);
    AppendBigEndian(out, static_cast<std::uint32_t>(picture.mime.size()));
    out += picture.mime;
    AppendBigEndian(out, 0);  // description
    AppendBigEndian(out, static_cast<std::uint32_t>(picture.width));
    AppendBigEndian(out, static_cast<std::uint32_t>(picture.height));
    AppendBigEndian(out, static_cast<std::uint32_t>(picture.depth));
    AppendBigEndian(out, 0);  // colours used: not an indexed picture's count
    AppendBigEndian(out, static_cast<std::uint32_t>(picture.bytes.size()));
    out += picture.bytes;
    return out;
}

std::string Base64(std::string_view bytes)
{
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16 |
                                    static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                    static_cast<unsigned char>(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6) out += kDigits[(group >> shift) & 63];
    }
    if (const std::size_t left = bytes.size() - i; left > 0) {
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left == 2) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kDigits[(group >> 18) & 63];
        out += kDigits[(group >> 12) & 63];
        out += left == 2 ? kDigits[(group >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string Id3v2PictureFrame(const CoverPicture& picture)
{
    std::string body;
    body += '\0';  // ISO-8859-1: the MIME type and the empty description need nothing else
    body += picture.mime;
    body += '\0';
    body += kFrontCover;
    body += '\0';
    body += picture.bytes;
    std::string frame = "APIC";
    const auto size = static_cast<std::uint32_t>(body.size());
    for (int shift = 21; shift >= 0; shift -= 7) frame += static_cast<char>((size >> shift) & 0x7F);
    frame.append(2, '\0');
    return frame + body;
}

std::string AddId3v2Picture(std::string tag, const CoverPicture& picture)
{
    if (tag.size() < 10) tag = std::string("ID3\x04\0\0\0\0\0\0", 10);
    tag += Id3v2PictureFrame(picture);
    const auto size = static_cast<std::uint32_t>(tag.size() - 10);
    for (int i = 0; i < 4; ++i) tag[6 + i] = static_cast<char>((size >> (21 - 7 * i)) & 0x7F);
    return tag;
}

std::string ApeCoverValue(const CoverPicture& picture)
{
    return "cover" + picture.Extension() + '\0' + picture.bytes;
}

std::string AsfPictureValue(const CoverPicture& picture)
{
    std::string out;
    out += kFrontCover;
    AppendLittleEndian(out, static_cast<std::uint32_t>(picture.bytes.size()));
    AppendUtf16Text(out, picture.mime);
    AppendUtf16Text(out, "");
    out += picture.bytes;
    return out;
}

}  // namespace tesslow
