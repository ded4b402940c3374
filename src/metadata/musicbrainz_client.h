#pragma once

#include "app/album_info.h"
#include "platform/http_client.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace tesslow {

inline constexpr const char* kMusicBrainzUrl = "https://musicbrainz.org";

struct MusicBrainzOptions {
    std::string baseUrl = kMusicBrainzUrl;  // scheme and host, no trailing slash
    HttpOptions http;
    std::chrono::milliseconds minInterval{1000};  // between the starts of two requests
    int retriesOn503 = 3;
    std::chrono::seconds longestRetryWait{60};    // a longer Retry-After ends the look-up
    // The whole look-up, waits and retries included: a rip waits for it.
    std::chrono::milliseconds lookupLimit{20000};
    // How waits are spent; empty means sleeping the calling thread.
    std::function<void(std::chrono::milliseconds)> sleep;
};

// "Tesslow/<version> ( <home URL> )", the form the service asks clients to
// name themselves in; without a home URL just "Tesslow/<version>".
std::string MusicBrainzUserAgent(const std::string& homeUrl);

// The options for this run: the base URL from TESSLOW_MUSICBRAINZ_URL when set,
// else the public service; the User-Agent naming `homeUrl` (Settings::HomeURL).
MusicBrainzOptions DefaultMusicBrainzOptions(const std::string& homeUrl);

// What the service said about a disc identifier.
struct WebLookup {
    enum class Outcome { Found, NotFound, Failed };
    Outcome outcome = Outcome::NotFound;
    AlbumInfo album;      // when Found, with every release the disc id matches in `releases`
    std::string failure;  // when Failed: what went wrong, in English, for diagnostics
};

// Which of the releases a disc id matches to name the disc from.
struct ReleaseWish {
    std::size_t number = 0;  // from 1, in the service's order; 0: not by number
    std::string id;          // a release id; empty: not by id
    bool Any() const { return number == 0 && id.empty(); }
};

// Asks the MusicBrainz web service (WS/2, XML) for the release of a disc
// identifier: the disc identifier look-up (no CD stubs, with artist credits
// and labels, which lists every release it matches), then the wished release
// (the first without a wish), again by its identifier with media, tracks,
// recordings, artist credits, disc identifiers, labels and release groups. A
// wish that matches no listed release is NotFound. Requests start at most once per minInterval;
// a 503 answer is retried after its Retry-After (at least minInterval). The
// whole look-up takes at most lookupLimit: a wait that would pass it is not
// sat out, and a request gets no more than the time left. Every failure ends
// as Failed or NotFound, never as an exception (except running out of
// memory).
//
// One per program run, so that the request pacing holds across look-ups. Any
// thread; concurrent calls are served one after the other.
class MusicBrainzClient {
public:
    explicit MusicBrainzClient(MusicBrainzOptions options);

    WebLookup LookUp(const std::string& discId, std::size_t audioTrackCount, const ReleaseWish& wish = {});

private:
    HttpResponse Request(const std::string& url);  // mutex_ held
    // Waits, out of the look-up's time; false when that is not enough.
    bool Wait(std::chrono::milliseconds duration);

    MusicBrainzOptions options_;
    std::chrono::milliseconds timeLeft_{0};  // of the look-up under way
    std::mutex mutex_;
    HttpClient http_;
    std::optional<std::chrono::steady_clock::time_point> lastRequest_;
};

}  // namespace tesslow
