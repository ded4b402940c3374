#include "app/cover_picture.h"

#include <cstdint>

namespace tesslow {

namespace {

std::uint32_t BigEndian(std::string_view bytes, std::size_t at, int count)
{
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

// The IHDR chunk comes first: length 13, "IHDR", width, height, bit depth,
// colour type.
bool ReadPngHeader(std::string_view bytes, CoverPicture& picture)
{
    if (bytes.size() < 8 + 8 + 13 || bytes.substr(12, 4) != "IHDR") return false;
    picture.width = static_cast<int>(BigEndian(bytes, 16, 4));
    picture.height = static_cast<int>(BigEndian(bytes, 20, 4));
    const int bits = static_cast<unsigned char>(bytes[24]);
    int channels = 1;
    switch (static_cast<unsigned char>(bytes[25])) {
    case 2: channels = 3; break;  // RGB
    case 4: channels = 2; break;  // grey and alpha
    case 6: channels = 4; break;  // RGBA
    default: break;               // grey, or palette indexes
    }
    picture.depth = bits * channels;
    return picture.width > 0 && picture.height > 0;
}

// Segments follow the SOI marker, each FF, a marker byte and (but for the
// few without one) a 16-bit length that counts itself. The first SOFn gives
// precision, height, width and the number of components.
bool ReadJpegHeader(std::string_view bytes, CoverPicture& picture)
{
    std::size_t at = 2;
    while (at + 4 <= bytes.size()) {
        if (static_cast<unsigned char>(bytes[at]) != 0xFF) return false;
        const unsigned marker = static_cast<unsigned char>(bytes[at + 1]);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return false;  // image data before any frame header
        const std::size_t length = BigEndian(bytes, at + 2, 2);
        if (length < 2) return false;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 8 || at + 2 + 8 > bytes.size()) return false;
            const int precision = static_cast<unsigned char>(bytes[at + 4]);
            picture.height = static_cast<int>(BigEndian(bytes, at + 5, 2));
            picture.width = static_cast<int>(BigEndian(bytes, at + 7, 2));
            picture.depth = precision * static_cast<unsigned char>(bytes[at + 9]);
            return picture.width > 0 && picture.height > 0;
        }
        at += 2 + length;
    }
    return false;
}

}  // namespace

std::string CoverPicture::Extension() const { return mime == "image/png" ? ".png" : ".jpg"; }

std::optional<CoverPicture> ReadCoverPicture(std::string bytes, std::string* why)
{
    auto refuse = [&](const char* text) -> std::optional<CoverPicture> {
        if (why) *why = text;
        return std::nullopt;
    };
    if (bytes.size() > kCoverPictureLimit) return refuse("larger than 16 MB");
    CoverPicture picture;
    const std::string_view view(bytes);
    if (view.starts_with(kPngSignature)) {
        picture.mime = "image/png";
        if (!ReadPngHeader(view, picture)) return refuse("a PNG image without a readable header");
    } else if (view.size() >= 3 && view.substr(0, 3) == "\xFF\xD8\xFF") {
        picture.mime = "image/jpeg";
        if (!ReadJpegHeader(view, picture)) return refuse("a JPEG image without a readable frame header");
    } else {
        const std::size_t start = view.find_first_not_of(" \t\r\n");
        const bool html = start != std::string_view::npos && view[start] == '<';
        return refuse(bytes.empty() ? "empty" : html ? "a web page, not an image" : "not a JPEG or PNG image");
    }
    picture.bytes = std::move(bytes);
    return picture;
}

std::string CoverPictureSummary(const CoverPicture& picture)
{
    return std::to_string(picture.width) + "x" + std::to_string(picture.height) +
           (picture.mime == "image/png" ? " PNG, " : " JPEG, ") + std::to_string(picture.bytes.size()) + " bytes";
}

}  // namespace tesslow
