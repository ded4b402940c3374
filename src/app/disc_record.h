#pragma once

#include "app/album_info.h"
#include "app/cd_text.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tesslow {

class ScsiCommand;

// One audio track of the table of contents, in sectors (2352 bytes, 1/75 s).
struct TocEntry {
    std::int32_t start = 0;   // LBA
    std::int32_t length = 0;  // sectors

    bool operator==(const TocEntry&) const = default;
};

// What is known about the disc in one drive. The three lists are parallel:
// track index t selects trackNumbers[t], tracks[t] and album.trackTitles[t].
// Only audio tracks are listed.
struct DiscRecord {
    std::shared_ptr<ScsiCommand> drive;      // the open drive, shared with readers
    bool hasAudio = false;
    std::vector<std::uint8_t> rawToc;        // READ TOC format 0 answer as received
    std::vector<std::uint8_t> trackNumbers;  // CD track number (1..99) per audio track
    std::vector<TocEntry> tracks;
    std::int32_t leadOut = 0;                // first sector after the last track
    std::optional<TocEntry> hiddenTrack;     // audio before track 1 ("Hidden track", number 0)
    std::optional<CdText> cdText;            // read with the TOC; nothing when the disc has none
    AlbumInfo album;
};

// The hidden track (audio before track 1), where a track index is taken: it
// is ripped as track number 0, "Hidden track", before the others.
inline constexpr std::uint32_t kHiddenTrackIndex = 0xFFFFFFFF;
inline constexpr const char* kHiddenTrackTitle = "Hidden track";

// Track index `t`'s sectors (kHiddenTrackIndex: the hidden track's); nothing
// for an index the disc does not have.
std::optional<TocEntry> TrackExtent(const DiscRecord& disc, std::size_t t);

// Track index `t`'s CD track number: 0 for the hidden track, t + 1 past the list.
int TrackNumberOf(const DiscRecord& disc, std::size_t t);

// The first sector after the disc's last audio track: the lead-out, or on a
// disc with a later data session the end of the audio session. The drive can
// read every sector of the audio before it.
std::int32_t AudioEnd(const DiscRecord& disc);

// The disc records of every drive, keyed by drive key (a device path or an
// emulated drive's image). Looking up a key that has no record creates an
// empty one. Records are never removed or moved, so a reference stays valid
// for the life of the set.
//
// Looking up is thread-safe. A record's contents are not locked: the disc
// search, the title look-up and the pages take turns, each handing over through
// a message (see RipJob).
class DiscRecords {
public:
    DiscRecord& operator[](const std::string& driveKey);

private:
    std::mutex mutex_;
    std::map<std::string, DiscRecord> records_;
};

}  // namespace tesslow
