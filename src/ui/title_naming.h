#pragma once

#include "metadata/musicbrainz_client.h"
#include "metadata/title_cache.h"
#include "metadata/title_lookup.h"

#include <memory>
#include <string>

namespace tesslow {

// The run's title look-up with the cache file and the web service behind it,
// made on first use and shared with the look-up threads (which the tracks
// page does not wait for).
struct TitleNaming {
    explicit TitleNaming(const std::string& homeUrl);

    TitleCache cache;
    MusicBrainzClient web;
    TitleLookup lookup;
};

}  // namespace tesslow
