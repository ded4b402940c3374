#pragma once

#include "app/cover_picture.h"
#include "encoding/encoder.h"

#include <memory>
#include <string>
#include <string_view>

namespace tesslow {

// How each format carries a front cover. Pure functions of the picture; the
// description is always empty, the picture type always 3 (front cover).

// The picture the source gives, or null when there is no source.
std::shared_ptr<const CoverPicture> AskCover(const CoverSource& source);

// The body of a FLAC PICTURE block, big-endian: type, MIME length and MIME,
// description length and description, width, height, colour depth, colours
// used (0), data length and data. Ogg Vorbis carries the same bytes, in
// base64, as METADATA_BLOCK_PICTURE.
std::string FlacPictureBody(const CoverPicture& picture);

// Standard base64 with padding.
std::string Base64(std::string_view bytes);

// The whole ID3v2.4 APIC frame: header (id, synchsafe size, no flags), then
// text encoding 0, the MIME type and a zero, the picture type, an empty
// description's zero, and the image.
std::string Id3v2PictureFrame(const CoverPicture& picture);

// An ID3v2.4 tag (as BuildId3v2Tag makes it, or empty: a new one) with the
// APIC frame added after its frames and the size in its header grown.
std::string AddId3v2Picture(std::string tag, const CoverPicture& picture);

// The name and value of the APEv2 binary item: "Cover Art (Front)" holding
// "cover.jpg" (or .png), a zero byte, then the image.
inline constexpr std::string_view kApeCoverItem = "Cover Art (Front)";
std::string ApeCoverValue(const CoverPicture& picture);

// The value of the ASF attribute WM/Picture: picture type, data length
// (32-bit little-endian), MIME and description as zero-terminated UTF-16LE,
// then the image.
std::string AsfPictureValue(const CoverPicture& picture);

}  // namespace tesslow
