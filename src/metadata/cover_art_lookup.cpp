#include "metadata/cover_art_lookup.h"

#include "platform/http_client.h"
#include "tesslow_version.h"

#include <cstdlib>

namespace tesslow {

namespace {

constexpr const char* kDefaultBaseUrl = "https://coverartarchive.org";

}  // namespace

std::string CoverArtBaseUrl()
{
    std::string url = kDefaultBaseUrl;
    if (const char* set = std::getenv("TESSLOW_COVERART_URL"); set && *set) url = set;
    while (url.size() > 1 && url.back() == '/') url.pop_back();
    return url;
}

int CoverArtSizeOf(std::uint32_t setting)
{
    return setting == 0 || setting == 250 || setting == 1200 ? static_cast<int>(setting) : 500;
}

std::string FrontCoverUrl(const std::string& baseUrl, const std::string& releaseId, int size)
{
    std::string url = baseUrl + "/release/" + releaseId + "/front";
    if (size == 0) return url;
    return url + "-" + std::to_string(CoverArtSizeOf(static_cast<std::uint32_t>(size)));
}

CoverArtLookup FetchFrontCover(const std::string& baseUrl, const std::string& releaseId, int size,
                               std::chrono::milliseconds limit)
{
    CoverArtLookup lookup;
    lookup.url = FrontCoverUrl(baseUrl, releaseId, size);
    HttpOptions options;
    options.userAgent = std::string("Tesslow/") + kVersion;
    options.connectTimeout = limit;
    options.totalTimeout = limit;
    options.maxBodyBytes = kCoverPictureLimit;
    options.accept = "image/jpeg, image/png";
    try {
        HttpClient http(options);
        HttpResponse response = http.Get(lookup.url);
        if (response.status == 404) {
            lookup.problem = "the Cover Art Archive has no front cover for this release";
            return lookup;
        }
        if (response.status != 200) {
            lookup.problem = "the Cover Art Archive answered HTTP " + std::to_string(response.status);
            return lookup;
        }
        std::string why;
        lookup.picture = ReadCoverPicture(std::move(response.body), &why);
        if (!lookup.picture) lookup.problem = "the Cover Art Archive's answer is " + why;
    } catch (const std::exception& error) {  // HttpError, or no memory for the answer
        lookup.problem = std::string("the Cover Art Archive gave no answer (") + error.what() + ")";
    }
    return lookup;
}

}  // namespace tesslow
