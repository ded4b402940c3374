#pragma once

#include "app/disc_record.h"
#include "app/rip_job.h"
#include "cli/options.h"
#include "metadata/title_lookup.h"

#include <optional>
#include <string>

namespace tesslow {

// Finds the disc a command works on: the drive given with --drive, or the
// first drive holding an audio disc; then reads its table of contents into
// `records`. On failure it prints why on stderr and gives the exit code:
// kExitNoAudioDisc when there is no audio disc, kExitFailure when its table
// of contents cannot be read.
struct FoundDisc {
    std::optional<std::string> driveKey;
    int exitCode = 0;
};
FoundDisc FindAudioDisc(const CliOptions& options, DiscRecords& records, RipJob& job);

// Names the disc from the title cache, or from the web service unless
// --no-lookup, from the release --release asks for; `homeUrl` (the HomeURL
// setting) goes into the User-Agent. Then puts the names given on the command
// line (--artist, --album, --date, --genre, --title) over the disc's, and
// keeps them in the title cache as the person's own. Never fails: without
// titles the disc simply has none.
TitleLookupResult NameDisc(const CliOptions& options, DiscRecords& records, const std::string& driveKey,
                           const std::string& homeUrl);

// "3 releases match this disc; using 1 (Title, GB, 2004, Label). Choose
// another with --release." when several do; else empty.
std::string ReleasesLine(const AlbumInfo& album);

inline constexpr int kExitNoAudioDisc = 2;

}  // namespace tesslow
