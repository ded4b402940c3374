#pragma once

#include "app/cover_picture.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tesslow {

// What the Cover Art Archive gave for a release's front cover.
struct CoverArtLookup {
    std::optional<CoverPicture> picture;
    std::string url;      // the address asked
    std::string problem;  // no picture: why, in English ("the archive has no front cover for this release")
};

// The archive's address: TESSLOW_COVERART_URL when set (tests point it at a
// server of their own), else https://coverartarchive.org. No trailing slash.
std::string CoverArtBaseUrl();

// The CoverArtSize setting as a size to ask for: 250, 500, 1200, or 0 for
// the original; any other value is 500.
int CoverArtSizeOf(std::uint32_t setting);

// "<base>/release/<id>/front-<size>", or ".../front" for size 0 (the
// original upload). Sizes other than 250, 500 and 1200 ask for 500.
std::string FrontCoverUrl(const std::string& baseUrl, const std::string& releaseId, int size);

// Fetches a release's front cover with one HTTP GET (redirects followed), all
// of it within `limit` and reading no more than kCoverPictureLimit bytes. Only
// a JPEG or a PNG is taken, judged by its bytes, whatever the server calls it.
// Never throws: every failure (404, another status, no answer, too large,
// not an image) is a lookup without a picture that says why. Thread-safe;
// blocks for up to `limit`.
CoverArtLookup FetchFrontCover(const std::string& baseUrl, const std::string& releaseId, int size,
                               std::chrono::milliseconds limit);

}  // namespace tesslow
