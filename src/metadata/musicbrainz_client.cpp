#include "metadata/musicbrainz_client.h"

#include "metadata/ws2_answer.h"
#include "tesslow_version.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace tesslow {

namespace {

using std::chrono::milliseconds;

constexpr const char* kUnreadable = "the web service's answer is not readable";
constexpr const char* kNoTimeLeft = "no answer within the time a look-up may take";

// Identifiers from an answer go into the next URL: only the characters of a
// MusicBrainz identifier may.
bool SafeIdentifier(const std::string& id)
{
    return !id.empty() && std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
               c == '.' || c == '_';
    });
}

WebLookup Failed(std::string why)
{
    WebLookup result;
    result.outcome = WebLookup::Outcome::Failed;
    result.failure = std::move(why);
    return result;
}

std::string StatusFailure(long status)
{
    return "the web service answered HTTP " + std::to_string(status);
}

}  // namespace

std::string MusicBrainzUserAgent(const std::string& homeUrl)
{
    std::string agent = std::string("Tesslow/") + kVersion;
    if (!homeUrl.empty()) agent += " ( " + homeUrl + " )";
    return agent;
}

MusicBrainzOptions DefaultMusicBrainzOptions(const std::string& homeUrl)
{
    MusicBrainzOptions options;
    if (const char* url = std::getenv("TESSLOW_MUSICBRAINZ_URL"); url && *url) options.baseUrl = url;
    while (options.baseUrl.size() > 1 && options.baseUrl.back() == '/') options.baseUrl.pop_back();
    options.http.userAgent = MusicBrainzUserAgent(homeUrl);
    return options;
}

MusicBrainzClient::MusicBrainzClient(MusicBrainzOptions options)
    : options_(std::move(options)), http_(options_.http)
{
}

bool MusicBrainzClient::Wait(milliseconds duration)
{
    if (duration <= milliseconds::zero()) return true;
    if (duration >= timeLeft_) return false;
    timeLeft_ -= duration;
    if (options_.sleep)
        options_.sleep(duration);
    else
        std::this_thread::sleep_for(duration);
    return true;
}

HttpResponse MusicBrainzClient::Request(const std::string& url)
{
    for (int attempt = 0;; ++attempt) {
        if (lastRequest_) {
            const auto elapsed = std::chrono::steady_clock::now() - *lastRequest_;
            if (!Wait(std::chrono::ceil<milliseconds>(options_.minInterval - elapsed))) throw HttpError(kNoTimeLeft);
        }
        if (timeLeft_ <= milliseconds::zero()) throw HttpError(kNoTimeLeft);
        const auto start = std::chrono::steady_clock::now();
        lastRequest_ = start;
        HttpResponse response = http_.Get(url, timeLeft_);
        timeLeft_ -= std::chrono::ceil<milliseconds>(std::chrono::steady_clock::now() - start);
        if (response.status != 503 || attempt >= options_.retriesOn503) return response;
        const std::chrono::seconds wait = response.retryAfter.value_or(std::chrono::seconds::zero());
        if (wait > options_.longestRetryWait || !Wait(std::max<milliseconds>(wait, options_.minInterval)))
            return response;
    }
}

WebLookup MusicBrainzClient::LookUp(const std::string& discId, std::size_t audioTrackCount, const ReleaseWish& wish)
{
    if (!SafeIdentifier(discId)) return Failed("the disc identifier is not valid");
    std::lock_guard lock(mutex_);
    timeLeft_ = options_.lookupLimit;
    try {
        const HttpResponse discAnswer =
            Request(options_.baseUrl + "/ws/2/discid/" + discId + "?cdstubs=no&inc=artist-credits+labels");
        if (discAnswer.status == 404) return {};
        if (discAnswer.status != 200) return Failed(StatusFailure(discAnswer.status));
        std::optional<std::vector<ReleaseSummary>> releases =
            ReleasesFromDiscIdAnswer(discAnswer.body, discId, audioTrackCount);
        if (!releases) return Failed(kUnreadable);
        if (releases->empty()) return {};

        std::size_t chosen = 0;
        if (wish.number > 0) chosen = wish.number - 1;
        if (!wish.id.empty())
            chosen = static_cast<std::size_t>(
                std::find_if(releases->begin(), releases->end(), [&](const auto& r) { return r.id == wish.id; }) -
                releases->begin());
        if (chosen >= releases->size()) return {};
        const std::string releaseId = (*releases)[chosen].id;
        if (!SafeIdentifier(releaseId)) return Failed(kUnreadable);
        const HttpResponse releaseAnswer = Request(options_.baseUrl + "/ws/2/release/" + releaseId +
                                                   "?inc=artist-credits+discids+media+recordings+labels+release-groups");
        if (releaseAnswer.status != 200) return Failed(StatusFailure(releaseAnswer.status));
        std::optional<AlbumInfo> album = AlbumFromReleaseAnswer(releaseAnswer.body, discId, audioTrackCount);
        if (!album) return Failed(kUnreadable);
        if (album->source.empty()) album->source = releaseId;
        album->releases = std::move(*releases);

        WebLookup result;
        result.outcome = WebLookup::Outcome::Found;
        result.album = std::move(*album);
        return result;
    } catch (const HttpError& error) {
        return Failed(std::string("cannot reach the web service: ") + error.what());
    }
}

}  // namespace tesslow
