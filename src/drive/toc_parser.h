#pragma once

#include <cstdint>
#include <vector>

namespace tesslow {

struct DiscRecord;

// What READ TOC format 1 says about sessions: the first and last complete
// session and the first track of the last session. A drive that does not
// answer it is taken to hold a single-session disc.
struct SessionInfo {
    int firstSession = 1;
    int lastSession = 1;
    int firstTrackOfLastSession = 0;

    bool MultiSession() const { return lastSession > firstSession && firstTrackOfLastSession > 0; }
};

// True when some descriptor of a READ TOC format-0 answer other than the last
// (the lead-out) has the data bit clear.
bool HasAudioDescriptor(const std::vector<std::uint8_t>& rawToc);

// Replaces the record's track numbers, TOC entries and lead-out with those of
// `rawToc` (a READ TOC format-0 answer: 4-byte header, 8-byte descriptors).
// Every descriptor is visited. Data tracks are left out. An audio track runs
// to the next descriptor's start, so the gap before a data track in the same
// session counts into it; but an audio track followed by the first track of a
// later session ends where its own session ends, 11400 sectors before that
// track (the lead-out, lead-in and pregap between sessions hold no audio and
// cannot be read). The AAh descriptor sets the lead-out (0 when missing).
// Leaves the raw TOC, has-audio and the album alone.
void ParseToc(const std::vector<std::uint8_t>& rawToc, const SessionInfo& sessions, DiscRecord& record);

}  // namespace tesslow
