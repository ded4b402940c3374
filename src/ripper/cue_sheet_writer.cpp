#include "ripper/cue_sheet_writer.h"

#include "accuracy/accuraterip_id.h"
#include "app/cd_audio.h"
#include "app/raw_toc.h"

#include <algorithm>
#include <cstdio>

namespace tesslow {

namespace {

std::string Time(std::int64_t sectors)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(sectors / (60 * kSectorsPerSecond)),
                  static_cast<long long>(sectors / kSectorsPerSecond % 60), static_cast<long long>(sectors % kSectorsPerSecond));
    return text;
}

// A quoted CUE string: the syntax has no escapes.
std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        out += c == '"' ? '\'' : byte < 0x20 || byte == 0x7F ? ' ' : c;
    }
    return out + "\"";
}

}  // namespace

std::string CueSheetText(const DiscRecord& disc, const std::vector<CueTrack>& tracks, const std::string& version,
                         const std::string& catalog)
{
    const AlbumInfo& album = disc.album;
    std::string cue;
    if (const auto id = AccurateRipIdOf(disc.rawToc)) {
        char freedb[9];
        std::snprintf(freedb, sizeof freedb, "%08X", id->freedb);
        cue += "REM DISCID " + std::string(freedb) + "\n";
    }
    cue += "REM COMMENT " + Quoted("Tesslow " + version) + "\n";
    if (!catalog.empty()) cue += "CATALOG " + catalog + "\n";
    if (!album.artist.empty()) cue += "PERFORMER " + Quoted(album.artist) + "\n";
    if (!album.album.empty()) cue += "TITLE " + Quoted(album.album) + "\n";

    const std::vector<TocDescriptor> toc = DecodeRawToc(disc.rawToc);
    // A ripped hidden track holds track 1's pregap: its INDEX 00.
    const auto hidden = std::find_if(tracks.begin(), tracks.end(),
                                     [](const CueTrack& t) { return t.trackIndex == kHiddenTrackIndex; });
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const CueTrack& track = tracks[i];
        if (track.trackIndex >= disc.tracks.size()) continue;
        const int number = track.trackIndex < disc.trackNumbers.size() ? disc.trackNumbers[track.trackIndex]
                                                                       : static_cast<int>(track.trackIndex + 1);
        // A known gap goes at the end of the file before, when that file holds
        // the track before.
        const std::int32_t start = disc.tracks[track.trackIndex].start;
        const bool firstAfterPregap = !toc.empty() && toc.front().number == number && !toc.front().Data() && start > 0;
        const bool pregapInHiddenFile = firstAfterPregap && hidden != tracks.end();
        const bool gapInFileBefore = i > 0 && track.gapSectors && *track.gapSectors > 0 &&
                                     tracks[i - 1].trackIndex + 1 == track.trackIndex;
        if (pregapInHiddenFile)
            cue += "FILE " + Quoted(hidden->file) + " WAVE\n";
        else if (!gapInFileBefore)
            cue += "FILE " + Quoted(track.file) + " WAVE\n";
        char line[32];
        std::snprintf(line, sizeof line, "  TRACK %02d AUDIO\n", number);
        cue += line;
        if (track.trackIndex < album.trackTitles.size() && !album.trackTitles[track.trackIndex].empty())
            cue += "    TITLE " + Quoted(album.trackTitles[track.trackIndex]) + "\n";
        if (!album.artist.empty()) cue += "    PERFORMER " + Quoted(album.artist) + "\n";
        if (!track.isrc.empty()) cue += "    ISRC " + track.isrc + "\n";
        const bool preemphasis = track.preemphasis || PreEmphasised(toc, number);
        if (preemphasis && !track.deemphasised) cue += "    FLAGS PRE\n";
        // Track 1 that starts after sector 0 (with no data track before it):
        // the audio before it is the hidden track's file, or in no file.
        if (pregapInHiddenFile) {
            cue += "    INDEX 00 00:00:00\n";
            cue += "FILE " + Quoted(track.file) + " WAVE\n";
        } else if (firstAfterPregap) {
            cue += "    PREGAP " + Time(start) + "\n";
        }
        if (gapInFileBefore && !pregapInHiddenFile) {
            const std::int32_t before = disc.tracks[tracks[i - 1].trackIndex].length;
            cue += "    INDEX 00 " + Time(std::max(0, before - *track.gapSectors)) + "\n";
            cue += "FILE " + Quoted(track.file) + " WAVE\n";
        }
        cue += "    INDEX 01 00:00:00\n";
    }
    return cue;
}

}  // namespace tesslow
