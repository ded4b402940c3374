#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tesslow {

// A front cover as the files carry it: the image's own bytes, JPEG or PNG,
// and what its header says of it. Made only by ReadCoverPicture, so a
// picture always holds an image of one of those two kinds.
struct CoverPicture {
    std::string bytes;
    std::string mime;  // "image/jpeg" or "image/png"
    int width = 0;     // pixels; 0 when the header does not say
    int height = 0;
    int depth = 0;     // bits per pixel: 24 for a colour JPEG, 8 for a grey one, 32 for PNG with alpha...

    // ".jpg" or ".png"
    std::string Extension() const;

    bool operator==(const CoverPicture&) const = default;
};

// The largest picture that is taken; a larger one is not a cover.
inline constexpr std::size_t kCoverPictureLimit = 16u << 20;

// What `bytes` hold when they are a JPEG (FF D8 FF) or a PNG (its 8-byte
// signature), judged by the bytes alone: the width, height and depth come from
// the JPEG's first start-of-frame segment or the PNG's IHDR chunk. Nothing for
// anything else (an HTML page, a GIF, a cut-off header) or for more than
// kCoverPictureLimit bytes; `why`, when given, then says what they are not.
// Pure; never throws for any input.
std::optional<CoverPicture> ReadCoverPicture(std::string bytes, std::string* why = nullptr);

// "500x500 JPEG, 43210 bytes"
std::string CoverPictureSummary(const CoverPicture& picture);

}  // namespace tesslow
