#pragma once

#include "app/disc_record.h"
#include "metadata/musicbrainz_client.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

namespace tesslow {

class MessageSink;
class TitleCache;

// Where the titles in a DiscRecord came from.
enum class TitlesFrom {
    None,
    Cache,
    Web,
    User,    // the cache, holding names the person edited
    CdText,  // the disc's own CD-Text
};

// "none", "cache", "web", "user" or "cd-text".
const char* TitlesFromName(TitlesFrom from);

struct TitleLookupResult {
    std::string discId;                    // empty when it could not be computed
    TitlesFrom titlesFrom = TitlesFrom::None;
    bool hasTitles = false;                // the record now has at least one track title
    std::string failure;                   // why the web service gave nothing, when it failed
};

// Fills a DiscRecord's raw TOC, track list and lead-out (the drive layer's
// "read TOC"); throws std::runtime_error with the user-visible text on failure.
using ReadTocFunction = std::function<void(DiscRecord&)>;

// Names a disc: computes its identifier from the raw TOC (reading the TOC
// first when the record has none), then takes the titles from the title cache
// or, failing that, from the web service, which also stores them in the cache
// and writes the cache file. A release the service knows is stored even when
// it has no tracks. Only what the service answered is ever cached. When
// neither names the disc, its CD-Text does if it has any titles (in the
// user's language where the disc offers it).
//
// One per program run, held by the caller with the cache and the client it
// refers to, which must outlive it. Look-ups run one at a time: a second
// caller waits for the first to finish, so the cache and the record are never
// touched by two look-ups at once. Runs synchronously on the calling thread.
class TitleLookup {
public:
    // `webService` may be null: the cache alone names discs.
    TitleLookup(TitleCache& cache, MusicBrainzClient* webService, ReadTocFunction readToc);

    // Replaces the record's AlbumInfo (cleared first; left cleared when no
    // titles are found). Throws std::runtime_error when the TOC cannot be read
    // ("Cannot read disc's TOC. Is this disc readable?" from the reader) or
    // gives no identifier ("Internal error #1593.").
    //
    // With a wish for a release other than the one the cache holds (and
    // names the person did not edit), the web service is asked for it, and
    // the cache then keeps that one for the disc; a wish the service cannot
    // meet leaves the cached names and says so in `failure`.
    TitleLookupResult NameDisc(DiscRecord& record, const ReleaseWish& wish = {});

    // Keeps the record's names, edited by the person, in the cache for the
    // disc: marked as the person's own, a later look-up never replaces them.
    // False when the cache file could not be written (this run still has them).
    bool KeepEdits(const std::string& discId, AlbumInfo album);

    // The look-up thread's body, for the record of `driveKey`. Never throws
    // (a failure means no titles). Afterwards, unless `stop` is set (the
    // tracks page was left meanwhile), posts UM_TITLES_LOADED with wParam 1
    // when the record now has at least one track title, else 0. With the flag
    // set it posts nothing, but the record and the cache are still updated.
    TitleLookupResult Run(DiscRecords& records, const std::string& driveKey, const std::atomic<bool>& stop,
                          MessageSink& sink, const ReleaseWish& wish = {});

private:
    TitleLookupResult NameDiscLocked(DiscRecord& record, const ReleaseWish& wish);  // running_ held

    TitleCache& cache_;
    MusicBrainzClient* webService_;
    ReadTocFunction readToc_;
    std::mutex running_;
};

}  // namespace tesslow
