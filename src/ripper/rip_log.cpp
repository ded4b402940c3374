#include "ripper/rip_log.h"

#include "accuracy/accuraterip_id.h"
#include "app/cd_audio.h"
#include "app/raw_toc.h"
#include "loudness/replay_gain_tags.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cstdio>

namespace tesslow {

namespace {

// Quoted, so that a YAML reader never takes "00001234" for a number.
std::string Hex(std::uint32_t value)
{
    char text[11];
    std::snprintf(text, sizeof text, "\"%08X\"", value);
    return text;
}

// mm:ss:ff of a number of sectors.
std::string Time(std::int64_t sectors)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(sectors / (60 * kSectorsPerSecond)),
                  static_cast<long long>(sectors / kSectorsPerSecond % 60), static_cast<long long>(sectors % kSectorsPerSecond));
    return text;
}

std::string Fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// A YAML double-quoted scalar: every character that could end or bend it is escaped.
std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Bool(bool value) { return value ? "true" : "false"; }

std::string Sha256Hex(const std::string& text)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(text.data(), text.size(), digest, &size, EVP_sha256(), nullptr) != 1) return std::string(64, '0');
    std::string hex;
    for (unsigned int i = 0; i < size; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", digest[i]);
        hex += pair;
    }
    return hex;
}

const char* SourceText(ReadOffsetUsed::Source source)
{
    switch (source) {
    case ReadOffsetUsed::Source::Given: return "given for this rip";
    case ReadOffsetUsed::Source::Remembered: return "remembered for the drive model";
    case ReadOffsetUsed::Source::Found: return "found with AccurateRip";
    case ReadOffsetUsed::Source::Unknown: break;
    }
    return "unknown (0 used)";
}

// The MusicBrainz page that shows the disc id, or offers to attach it.
std::string LookupUrl(const RipLogInput& input)
{
    const std::vector<TocDescriptor> toc = DecodeRawToc(input.disc->rawToc);
    std::string offsets;
    int first = 0, last = 0, leadOut = 0;
    for (const TocDescriptor& d : toc) {
        if (d.LeadOut()) {
            leadOut = d.start + kLbaOrigin;
            continue;
        }
        if (first == 0) first = d.number;
        last = d.number;
        offsets += "+" + std::to_string(d.start + kLbaOrigin);
    }
    return "https://musicbrainz.org/cdtoc/attach?id=" + input.musicBrainzDiscId + "&tracks=" + std::to_string(last) +
           "&toc=" + std::to_string(first) + "+" + std::to_string(last) + "+" + std::to_string(leadOut) + offsets;
}

const AccuracyOutcome::Track* Judged(const RipLogInput& input, std::uint32_t trackIndex)
{
    if (!input.accuracy || input.accuracy->status != AccuracyOutcome::Status::Found) return nullptr;
    for (const AccuracyOutcome::Track& track : input.accuracy->tracks)
        if (track.trackIndex == trackIndex) return &track;
    return nullptr;
}

// One AccurateRip version's block for a track.
std::string AccurateRipBlock(const RipLogInput& input, const TrackOutcome& track, int version)
{
    const std::string indent = "      ";
    std::string block = "    AccurateRip v" + std::to_string(version) + ":\n";
    const std::uint32_t local = version == 1 ? track.sums->v1 : track.sums->v2;
    const AccuracyOutcome::Track* judged = Judged(input, track.trackIndex);
    if (!judged) {
        const bool absent = input.accuracy && input.accuracy->status == AccuracyOutcome::Status::NotFound;
        block += indent + "Result: " + (absent ? "Track not present in AccurateRip database" : "Not checked") + "\n";
        return block + indent + "Local CRC: " + Hex(local) + "\n";
    }
    const TrackAccuracy& verdict = judged->verdict;
    const bool match = verdict.version == version;
    const char* result = match ? "Found, exact match"
                         : verdict.result == TrackAccuracy::Result::NotPresent ? "Track not present in AccurateRip database"
                                                                              : "Found, NO exact match";
    block += indent + "Result: " + result + "\n";
    if (verdict.result != TrackAccuracy::Result::NotPresent) {
        block += indent + "Confidence: " + std::to_string(match ? verdict.confidence : verdict.maxConfidence) + "\n";
    }
    block += indent + "Local CRC: " + Hex(local) + "\n";
    if (verdict.result != TrackAccuracy::Result::NotPresent && (match || verdict.version == 0))
        block += indent + "Remote CRC: " + Hex(verdict.remoteCrc) + "\n";
    return block;
}

std::vector<std::string> ErrorsOf(const RipLogInput& input, const TrackOutcome& track)
{
    std::vector<std::string> errors = track.errors;
    if (const AccuracyOutcome::Track* judged = Judged(input, track.trackIndex); judged && !judged->error.empty())
        errors.push_back(judged->error);
    return errors;
}

std::string Status(const RipLogInput& input, const TrackOutcome& track)
{
    if (track.status == TrackOutcome::Status::Skipped) return "Track not ripped (skipped)";
    if (track.check == TrackOutcome::Check::Disagreed) return "Error, CRC mismatch";
    const std::vector<std::string> errors = ErrorsOf(input, track);
    std::string joined;
    for (const std::string& error : errors) joined += (joined.empty() ? "" : "; ") + error;
    if (track.status == TrackOutcome::Status::Error) return "Error, " + joined;
    if (!errors.empty()) return "Copy finished with errors: " + joined;
    return track.check == TrackOutcome::Check::None ? "Copy finished" : "Copy OK";
}

std::string Health(const RipLogInput& input)
{
    if (input.canceled) return "The rip was canceled";
    bool errors = false, skipped = false;
    for (const TrackOutcome& track : input.tracks) {
        skipped = skipped || track.status == TrackOutcome::Status::Skipped;
        errors = errors || track.status == TrackOutcome::Status::Error ||
                 (track.status == TrackOutcome::Status::Ripped && !ErrorsOf(input, track).empty());
    }
    return errors ? "There were errors" : skipped ? "Some tracks were not ripped (skipped)" : "No errors occurred";
}

}  // namespace

std::string RipLogText(const RipLogInput& input)
{
    const DiscRecord& disc = *input.disc;
    std::string log = "Log created by: Tesslow " + input.version + " (internal logger)\n";
    log += "Log creation date: " + input.created + "\n";

    log += "Ripping phase information:\n";
    // As drives name themselves: the vendor in 8 characters, then the product.
    const std::string vendor = (input.drive.vendor + std::string(8, ' ')).substr(0, std::max<std::size_t>(8, input.drive.vendor.size()));
    log += "  Drive: " + Quoted(vendor + input.drive.product + " (revision " + input.drive.revision + ")") + "\n";
    log += "  Extraction engine: \"cdparanoia III 10.2 (Debian source, bounds patched)\"\n";
    log += "  Defeat audio cache: " + Bool(input.jitterCorrection) + "\n";
    log += "  Jitter correction: " + Bool(input.jitterCorrection) + "\n";
    log += "  Read offset correction: " + std::to_string(input.offset.samples) + "\n";
    log += "  Read offset source: " + Quoted(SourceText(input.offset.source)) + "\n";
    log += "  Overread into lead-out: " + Bool(input.offset.overread) + "\n";
    log += "  Verify reads: " + Bool(input.verifyReads) + "\n";
    const DiscSubcode& subcode = input.subcode;
    log += "  Gap detection: " + std::string(!subcode.gapsSearched  ? "none"
                                             : subcode.gapsDetected ? "\"Q sub-channel\""
                                                                    : "\"gaps not detected\"") + "\n";
    log += "  CD-R detected: " + Bool(input.recordableDisc) + "\n";

    log += "CD metadata:\n";
    log += "  Release:\n";
    log += "    Artist: " + Quoted(disc.album.artist) + "\n";
    log += "    Title: " + Quoted(disc.album.album) + "\n";
    const std::optional<AccurateRipId> id = AccurateRipIdOf(disc.rawToc);
    char freedb[11];
    std::snprintf(freedb, sizeof freedb, "\"%08x\"", id ? id->freedb : 0u);
    log += "  CDDB Disc ID: " + std::string(id ? freedb : "unknown") + "\n";
    if (!input.musicBrainzDiscId.empty()) {
        log += "  MusicBrainz Disc ID: " + input.musicBrainzDiscId + "\n";
        log += "  MusicBrainz lookup URL: " + LookupUrl(input) + "\n";
    }
    if (!disc.album.source.empty()) log += "  MusicBrainz release: " + Quoted(disc.album.source) + "\n";
    if (id) log += "  AccurateRip ID: " + id->Text() + "\n";
    if (!subcode.catalog.empty()) log += "  Catalog number: \"" + subcode.catalog + "\"\n";
    // Audio before track 1 is a hidden track; a pregap of silence is only noted.
    if (!disc.tracks.empty() && !disc.trackNumbers.empty() && disc.trackNumbers.front() == 1 && disc.tracks.front().start > 0)
        log += "  Track 1 pregap: " + Quoted(Time(disc.tracks.front().start) + (disc.hiddenTrack ? ", hidden track audio" : ", silence")) + "\n";
    if (input.cover) log += "  Cover art: " + Quoted(input.cover->text.substr(input.cover->text.find(": ") + 2)) + "\n";

    log += "TOC:\n";
    for (std::size_t t = 0; t < disc.tracks.size(); ++t) {
        const TocEntry& entry = disc.tracks[t];
        log += "  " + std::to_string(t < disc.trackNumbers.size() ? disc.trackNumbers[t] : t + 1) + ":\n";
        log += "    Start: " + Time(entry.start) + "\n";
        log += "    Length: " + Time(entry.length) + "\n";
        log += "    Start sector: " + std::to_string(entry.start) + "\n";
        log += "    End sector: " + std::to_string(entry.start + entry.length - 1) + "\n";
    }

    const std::vector<TocDescriptor> toc = DecodeRawToc(disc.rawToc);
    log += "Tracks:\n";
    for (const TrackOutcome& track : input.tracks) {
        log += "  " + std::to_string(track.number) + ":\n";
        const std::string file = track.file.rfind(input.folder, 0) == 0 ? track.file.substr(input.folder.size())
                                                                         : track.file.substr(track.file.rfind('/') + 1);
        log += "    Filename: " + Quoted(file) + "\n";
        const std::size_t t = track.trackIndex;
        if (const auto pregap = PregapOf(subcode, t)) log += "    Pre-gap length: " + Time(*pregap) + "\n";
        if (t < subcode.isrcs.size() && !subcode.isrcs[t].empty()) log += "    ISRC: \"" + subcode.isrcs[t] + "\"\n";
        if (track.sums) {
            log += "    Peak level: " + Fixed(track.peak, 6) + "\n";
            log += "    Pre-emphasis: " + Bool(PreEmphasised(toc, track.number) ||
                                               (t < subcode.preemphasis.size() && subcode.preemphasis[t])) + "\n";
            if (track.deemphasised) log += "    De-emphasised: true\n";
            log += "    Extraction speed: " + Fixed(track.speed, 1) + " X\n";
            log += "    Reads: " + std::to_string(track.reads) + "\n";
            if (track.testCrc) log += "    Test CRC: " + Hex(*track.testCrc) + "\n";
            log += "    Copy CRC: " + Hex(track.sums->crc32) + "\n";
            if (track.replayGain) {
                log += "    ReplayGain track gain: " + Quoted(GainText(track.replayGain->gain)) + "\n";
                log += "    ReplayGain track peak: " + PeakText(track.replayGain->peak) + "\n";
            }
            log += AccurateRipBlock(input, track, 1);
            log += AccurateRipBlock(input, track, 2);
        }
        log += "    Status: " + Quoted(Status(input, track)) + "\n";
    }

    log += "Conclusive status report:\n";
    std::string summary = "Not checked";
    if (input.accuracy && !input.accuracy->summary.empty()) {
        summary = input.accuracy->summary;
        if (summary.rfind("AccurateRip: ", 0) == 0) summary.erase(0, 13);
    }
    log += "  AccurateRip summary: " + Quoted(summary) + "\n";
    if (input.albumGain) {
        // Only the tracks of this rip are measured: say which.
        std::string tracks;
        for (const int number : input.albumGain->tracks) tracks += (tracks.empty() ? "" : ", ") + std::to_string(number);
        log += "  ReplayGain album gain: " + Quoted(GainText(input.albumGain->gain.gain)) + "\n";
        log += "  ReplayGain album peak: " + PeakText(input.albumGain->gain.peak) + "\n";
        log += "  ReplayGain album tracks: " +
               Quoted(tracks + (input.albumGain->wholeDisc ? " (every track of the disc)" : " (only the tracks of this rip)")) +
               "\n";
    }
    log += "  Health status: " + Quoted(Health(input)) + "\n";
    log += "  EOF: End of status report\n";
    return log + "\nSHA-256 hash: " + Sha256Hex(log) + "\n";
}

}  // namespace tesslow
