#include "ripper/cover_art_fetch.h"

#include "metadata/cover_art_lookup.h"
#include "metadata/cover_cache.h"
#include "platform/atomic_file.h"
#include "platform/system_error.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace tesslow {

namespace {

constexpr auto kGiveUpStep = std::chrono::milliseconds(100);

CoverOutcome Found(CoverOutcome::Source source, std::string where, const CoverPicture& picture)
{
    CoverOutcome outcome;
    outcome.source = source;
    outcome.where = std::move(where);
    outcome.mime = picture.mime;
    outcome.width = picture.width;
    outcome.height = picture.height;
    outcome.bytes = picture.bytes.size();
    outcome.text = "Cover art: " + outcome.where +
                   (source == CoverOutcome::Source::Cache ? ", kept in the cover cache (" : " (") +
                   CoverPictureSummary(picture) + ")";
    return outcome;
}

CoverOutcome Nothing(std::string problem)
{
    CoverOutcome outcome;
    outcome.problem = std::move(problem);
    outcome.text = "Cover art: none (" + outcome.problem + ")";
    return outcome;
}

struct Answer {
    std::shared_ptr<const CoverPicture> picture;
    CoverOutcome outcome;
};

Answer Look(const CoverWish& wish)
{
    // The outcome is said before the picture is moved into its place.
    const auto take = [](CoverOutcome::Source source, std::string where, CoverPicture& picture) {
        CoverOutcome outcome = Found(source, std::move(where), picture);
        return Answer{std::make_shared<const CoverPicture>(std::move(picture)), std::move(outcome)};
    };
    const auto fromFile = [&](const std::string& file, const char* whose) -> Answer {
        std::string why;
        if (auto picture = ReadCoverPictureFile(file, &why)) return take(CoverOutcome::Source::File, file, *picture);
        return {nullptr, Nothing(std::string(whose) + " " + file + " could not be used: " + why)};
    };
    if (!wish.file.empty()) return fromFile(wish.file, "the picture");
    if (wish.noCover) return {nullptr, Nothing("removed in the disc's details")};
    if (!wish.chosenFile.empty()) return fromFile(wish.chosenFile, "the chosen picture");
    if (wish.releaseId.empty()) return {nullptr, Nothing("the disc was not named from a MusicBrainz release")};

    const CoverCache cache(wish.cacheFolder.empty() ? DefaultCoverCacheFolder()
                                                    : std::filesystem::path(wish.cacheFolder));
    const std::string key = CoverCache::ReleaseKey(wish.releaseId, wish.size);
    if (auto cached = cache.Find(key))
        return take(CoverOutcome::Source::Cache, FrontCoverUrl(wish.baseUrl, wish.releaseId, wish.size), *cached);
    CoverArtLookup lookup = FetchFrontCover(wish.baseUrl, wish.releaseId, wish.size, wish.limit);
    if (!lookup.picture) return {nullptr, Nothing(lookup.problem)};
    (void)cache.Store(key, *lookup.picture);  // a cache that cannot be written only costs a fetch next time
    return take(CoverOutcome::Source::Archive, lookup.url, *lookup.picture);
}

}  // namespace

struct CoverArtFetch::Pending {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<Answer> result;
};

CoverArtFetch::CoverArtFetch(CoverWish wish)
    : pending_(std::make_shared<Pending>()),
      limit_(wish.limit),
      deadline_(std::chrono::steady_clock::now() + wish.limit)
{
    thread_ = WorkerThread([pending = pending_, wish = std::move(wish)] {
        Answer found;
        try {
            found = Look(wish);
        } catch (const std::exception& error) {  // out of memory
            found = {nullptr, Nothing(error.what())};
        }
        std::lock_guard lock(pending->mutex);
        pending->result = std::move(found);
        pending->done.notify_all();
    });
}

CoverArtFetch::~CoverArtFetch()
{
    // Never waits: a look-up still under way is left to end on its own.
    if (thread_.Running()) (void)thread_.WaitFor(std::chrono::milliseconds(0));
}

std::shared_ptr<const CoverPicture> CoverArtFetch::Picture(const std::function<bool()>& giveUp)
{
    std::unique_lock lock(pending_->mutex);
    for (;;) {
        const auto step = giveUp ? std::min(deadline_, std::chrono::steady_clock::now() + kGiveUpStep) : deadline_;
        if (pending_->done.wait_until(lock, step, [&] { return pending_->result.has_value(); }))
            return pending_->result->picture;
        if (step >= deadline_) return nullptr;
        lock.unlock();
        const bool stop = giveUp();
        lock.lock();
        if (stop) return nullptr;
    }
}

CoverOutcome CoverArtFetch::Outcome()
{
    std::unique_lock lock(pending_->mutex);
    if (!pending_->done.wait_until(lock, deadline_, [&] { return pending_->result.has_value(); })) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limit_).count();
        if (seconds < 1) return Nothing("no answer in time");
        return Nothing("no answer within " + std::to_string(seconds) + (seconds == 1 ? " second" : " seconds"));
    }
    return pending_->result->outcome;
}

std::string CoverFileName(const CoverPicture& picture) { return "cover" + picture.Extension(); }

std::string WriteCoverFile(const std::string& folder, const CoverPicture& picture, bool overwrite)
{
    const std::string name = CoverFileName(picture);
    const std::string path = folder.empty() ? name : folder.back() == '/' ? folder + name : folder + "/" + name;
    if (const auto there = ReadWholeFile(path, kCoverPictureLimit + 1)) {
        if (*there == picture.bytes) return {};
        if (!overwrite) return name + ": a different picture of that name is already there; it was kept";
    }
    if (!WriteFileAtomically(path, picture.bytes))
        return name + ": cannot create file (" + FileErrorText(errno) + ")";
    return {};
}

}  // namespace tesslow
