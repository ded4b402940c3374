#include "cli/disc_access.h"

#include "cli/printable.h"
#include "cli/tesslow_rip.h"
#include "drive/disc_image.h"
#include "drive/disc_search.h"
#include "drive/drive_list.h"
#include "drive/toc_reader.h"
#include "metadata/album_edits.h"
#include "metadata/musicbrainz_client.h"
#include "metadata/title_cache.h"
#include "platform/message_sink.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace tesslow {

namespace {

// The search runs on the main thread here: nobody asks it to stop.
class NeverStop final : public MessageSink {
public:
    void Post(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
    std::intptr_t Send(std::uint32_t, std::uintptr_t, std::intptr_t) override { return 0; }
};

// Why an emulated drive's image cannot be played, if it can be told.
std::string ImageProblem(const std::string& driveKey)
{
    std::error_code error;
    if (!IsEmulatedDriveKey(driveKey) || !std::filesystem::exists(driveKey, error)) return {};
    try {
        (void)DiscImage::Load(driveKey);
    } catch (const DiscImageError& problem) {
        return problem.what();
    }
    return {};
}

}  // namespace

FoundDisc FindAudioDisc(const CliOptions& options, DiscRecords& records, RipJob& job)
{
    NeverStop sink;
    const std::vector<std::string> drives = options.drive ? std::vector<std::string>{*options.drive} : ListDrives();
    if (!RunDiscSearch(drives, records, job, sink)) {
        if (options.drive) {
            const std::string problem = ImageProblem(*options.drive);
            std::fprintf(stderr, "No audio disc in %s%s%s\n", Printable(*options.drive).c_str(),
                         problem.empty() ? "." : ": ", Printable(problem).c_str());
        } else {
            std::fprintf(stderr, drives.empty() ? "No CD drive found.\n" : "No audio disc found.\n");
        }
        return {std::nullopt, kExitNoAudioDisc};
    }
    try {
        ReadToc(records, job.driveKey);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "%s\n", Printable(error.what()).c_str());
        return {std::nullopt, kExitFailure};
    }
    return {job.driveKey, kExitOk};
}

namespace {

// --release R: a number from 1, else a release id.
ReleaseWish WishOf(const std::optional<std::string>& release)
{
    ReleaseWish wish;
    if (!release) return wish;
    const bool digits = !release->empty() && release->size() <= 3 &&
                        release->find_first_not_of("0123456789") == std::string::npos;
    if (digits)
        wish.number = static_cast<std::size_t>(std::stoul(*release));
    else
        wish.id = *release;
    return wish;
}

// Puts the person's names over the disc's; true when there were any.
bool ApplyEdits(const CliOptions& options, const DiscRecord& record, AlbumInfo& album)
{
    if (!options.Edits()) return false;
    if (options.artist && *options.artist != album.artist) {
        album.artist = *options.artist;
        album.artistIds.clear();  // the ids named the artist that was replaced
    }
    if (options.album) album.album = *options.album;
    if (options.date) {
        album.date = *options.date;
        album.year = options.date->substr(0, 4);
    }
    if (options.genre) album.genre = *options.genre;
    TitleEveryTrack(album, record.tracks.size());
    for (const auto& [position, title] : options.titles)
        if (position > 0) RetitleTrack(album, position - 1, title);
    album.edited = true;
    return true;
}

}  // namespace

TitleLookupResult NameDisc(const CliOptions& options, DiscRecords& records, const std::string& driveKey,
                           const std::string& homeUrl)
{
    TitleCache cache;
    std::optional<MusicBrainzClient> web;
    if (!options.noLookup) web.emplace(DefaultMusicBrainzOptions(homeUrl));
    TitleLookup lookup(cache, web ? &*web : nullptr, [&](DiscRecord&) { ReadToc(records, driveKey); });
    DiscRecord& record = records[driveKey];
    TitleLookupResult result;
    try {
        result = lookup.NameDisc(record, WishOf(options.release));
    } catch (const std::runtime_error& error) {
        result.failure = error.what();
        return result;
    }
    if (!result.discId.empty() && ApplyEdits(options, record, record.album)) {
        if (!lookup.KeepEdits(result.discId, record.album) && result.failure.empty())
            result.failure = "the title cache could not be written";
        result.titlesFrom = TitlesFrom::User;
        result.hasTitles = true;
    }
    return result;
}

std::string ReleasesLine(const AlbumInfo& album)
{
    if (album.releases.size() < 2) return {};
    std::size_t used = 0;
    while (used < album.releases.size() && album.releases[used].id != album.source) ++used;
    if (used == album.releases.size()) return {};
    const ReleaseSummary& release = album.releases[used];
    std::string about = release.title;
    for (const std::string* part : {&release.country, &release.date, &release.label})
        if (!part->empty()) about += ", " + *part;
    return std::to_string(album.releases.size()) + " releases match this disc; using " + std::to_string(used + 1) +
           " (" + about + "). Choose another with --release.";
}

}  // namespace tesslow
