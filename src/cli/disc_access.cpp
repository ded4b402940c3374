#include "cli/disc_access.h"

#include "cli/printable.h"
#include "cli/tesslow_rip.h"
#include "drive/disc_image.h"
#include "drive/disc_search.h"
#include "drive/drive_list.h"
#include "drive/toc_reader.h"
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

TitleLookupResult NameDisc(const CliOptions& options, DiscRecords& records, const std::string& driveKey,
                           const std::string& homeUrl)
{
    TitleCache cache;
    std::optional<MusicBrainzClient> web;
    if (!options.noLookup) web.emplace(DefaultMusicBrainzOptions(homeUrl));
    TitleLookup lookup(cache, web ? &*web : nullptr, [&](DiscRecord&) { ReadToc(records, driveKey); });
    try {
        return lookup.NameDisc(records[driveKey]);
    } catch (const std::runtime_error& error) {
        TitleLookupResult result;
        result.failure = error.what();
        return result;
    }
}

}  // namespace tesslow
