#include "metadata/title_lookup.h"

#include "metadata/cd_text_naming.h"
#include "metadata/disc_id.h"
#include "metadata/musicbrainz_client.h"
#include "metadata/title_cache.h"
#include "platform/message_sink.h"
#include "platform/messages.h"

#include <exception>

namespace tesslow {

const char* TitlesFromName(TitlesFrom from)
{
    switch (from) {
    case TitlesFrom::None: return "none";
    case TitlesFrom::Cache: return "cache";
    case TitlesFrom::Web: return "web";
    case TitlesFrom::User: return "user";
    case TitlesFrom::CdText: return "cd-text";
    }
    return "none";
}

TitleLookup::TitleLookup(TitleCache& cache, MusicBrainzClient* webService, ReadTocFunction readToc)
    : cache_(cache), webService_(webService), readToc_(std::move(readToc))
{
}

namespace {

// Whether the cached names are those of the wished release.
bool Meets(const AlbumInfo& cached, const ReleaseWish& wish)
{
    if (wish.Any() || cached.edited) return true;
    if (!wish.id.empty()) return wish.id == cached.source;
    return wish.number <= cached.releases.size() && cached.releases[wish.number - 1].id == cached.source;
}

}  // namespace

TitleLookupResult TitleLookup::NameDisc(DiscRecord& record, const ReleaseWish& wish)
{
    std::lock_guard lock(running_);
    try {
        TitleLookupResult result = NameDiscLocked(record, wish);
        if (result.titlesFrom == TitlesFrom::None && NameFromCdText(record, UserCdTextLanguage()))
            result.titlesFrom = TitlesFrom::CdText;
        result.hasTitles = !record.album.trackTitles.empty();
        return result;
    } catch (...) {
        record.album = {};
        throw;
    }
}

bool TitleLookup::KeepEdits(const std::string& discId, AlbumInfo album)
{
    album.edited = true;
    cache_.Store(discId, album);
    return cache_.Write();
}

TitleLookupResult TitleLookup::NameDiscLocked(DiscRecord& record, const ReleaseWish& wish)
{
    if (record.rawToc.empty() && readToc_) readToc_(record);

    TitleLookupResult result;
    result.discId = DiscIdFromRawToc(record.rawToc);
    record.album = {};

    std::optional<AlbumInfo> cached = cache_.Find(result.discId);
    if (cached && (Meets(*cached, wish) || !webService_)) {
        if (!Meets(*cached, wish)) result.failure = "the release asked for is not in the title cache";
        result.titlesFrom = cached->edited ? TitlesFrom::User : TitlesFrom::Cache;
        record.album = std::move(*cached);
        return result;
    }
    if (!webService_) return result;

    WebLookup answer = webService_->LookUp(result.discId, record.trackNumbers.size(), wish);
    if (cached && answer.outcome != WebLookup::Outcome::Found) {
        // The wish could not be met: the names the disc had stay.
        result.failure = answer.outcome == WebLookup::Outcome::Failed ? std::move(answer.failure)
                                                                       : "no such release matches this disc";
        record.album = std::move(*cached);
        result.titlesFrom = TitlesFrom::Cache;
        return result;
    }
    switch (answer.outcome) {
    case WebLookup::Outcome::Found:
        record.album = std::move(answer.album);
        result.titlesFrom = TitlesFrom::Web;
        cache_.Store(result.discId, record.album);
        (void)cache_.Write();  // a cache that cannot be written still serves this run
        break;
    case WebLookup::Outcome::NotFound:
        break;
    case WebLookup::Outcome::Failed:
        result.failure = std::move(answer.failure);
        break;
    }
    return result;
}

TitleLookupResult TitleLookup::Run(DiscRecords& records, const std::string& driveKey, const std::atomic<bool>& stop,
                                   MessageSink& sink, const ReleaseWish& wish)
{
    DiscRecord& record = records[driveKey];
    TitleLookupResult result;
    try {
        result = NameDisc(record, wish);
    } catch (const std::exception& error) {
        result.failure = error.what();
    } catch (...) {
        result.failure = "unknown error";
    }
    if (!stop.load()) sink.Post(UM_TITLES_LOADED, result.hasTitles ? 1 : 0, 0);
    return result;
}

}  // namespace tesslow
