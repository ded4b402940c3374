#include "accuracy/accuraterip_lookup.h"

#include "platform/http_client.h"
#include "tesslow_version.h"

#include <cstdlib>
#include <map>
#include <mutex>

namespace tesslow {

namespace {

constexpr const char* kDefaultBaseUrl = "http://www.accuraterip.com";
// A dBAR file is 13 + 9 bytes per track for each pressing; no disc has more
// than a few hundred pressings.
constexpr std::size_t kLargestAnswer = 1u << 20;

struct Remembered {
    std::mutex mutex;
    std::map<std::string, AccurateRipLookup> answers;  // by base URL and disc id
};

// Never destroyed: a look-up abandoned at its deadline may still be running
// on its own thread while the program exits, and must find the store there.
Remembered& Answers()
{
    static Remembered* const remembered = new Remembered;
    return *remembered;
}

AccurateRipLookup Ask(const AccurateRipId& disc, const std::string& baseUrl, std::chrono::milliseconds limit)
{
    AccurateRipLookup lookup;
    HttpOptions options;
    options.userAgent = std::string("Tesslow/") + kVersion;
    options.connectTimeout = limit;
    options.totalTimeout = limit;
    options.maxBodyBytes = kLargestAnswer;
    try {
        HttpClient http(options);
        const HttpResponse response = http.Get(baseUrl + disc.DbarPath());
        if (response.status == 404) {
            lookup.status = AccurateRipLookup::Status::NotFound;
            return lookup;
        }
        if (response.status != 200) {
            lookup.problem = "the database answered HTTP " + std::to_string(response.status);
            return lookup;
        }
        DbarFile file = ParseDbar(
            std::span(reinterpret_cast<const std::uint8_t*>(response.body.data()), response.body.size()), disc);
        lookup.problem = std::move(file.problem);
        lookup.responses = std::move(file.responses);
        lookup.status = lookup.responses.empty() ? AccurateRipLookup::Status::NotFound : AccurateRipLookup::Status::Found;
    } catch (const HttpError& error) {
        lookup.problem = error.what();
    }
    return lookup;
}

}  // namespace

std::string AccurateRipBaseUrl()
{
    std::string url = kDefaultBaseUrl;
    if (const char* set = std::getenv("TESSLOW_ACCURATERIP_URL"); set && *set) url = set;
    while (url.size() > 1 && url.back() == '/') url.pop_back();
    return url;
}

AccurateRipLookup LookUpAccurateRip(const AccurateRipId& disc, const std::string& baseUrl,
                                    std::chrono::milliseconds limit)
{
    const std::string key = baseUrl + " " + disc.Text();
    Remembered& remembered = Answers();
    {
        std::lock_guard lock(remembered.mutex);
        if (const auto known = remembered.answers.find(key); known != remembered.answers.end()) return known->second;
    }
    AccurateRipLookup lookup = Ask(disc, baseUrl, limit);
    if (lookup.status != AccurateRipLookup::Status::Error) {
        std::lock_guard lock(remembered.mutex);
        remembered.answers.emplace(key, lookup);
    }
    return lookup;
}

}  // namespace tesslow
