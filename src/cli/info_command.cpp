#include "accuracy/accuraterip_id.h"
#include "app/disc_record.h"
#include "app/rip_job.h"
#include "app/settings.h"
#include "cli/commands.h"
#include "cli/disc_access.h"
#include "cli/json_text.h"
#include "cli/load_settings.h"
#include "cli/printable.h"
#include "cli/tesslow_rip.h"
#include "drive/disc_subcode.h"
#include "drive/scsi_command.h"
#include "metadata/track_titles.h"
#include "platform/utf.h"

#include <cstdio>
#include <string>

namespace tesslow {

namespace {

// A track's title as the tracks page shows it ("Track NN" without one).
std::string Title(const DiscRecord& record, std::size_t i) { return Printable(DisplayUtf8(TitleOfAudioTrack(record, i))); }

std::string Duration(std::int32_t sectors)
{
    const int seconds = sectors / 75;
    return std::to_string(seconds / 60) + ":" + (seconds % 60 < 10 ? "0" : "") + std::to_string(seconds % 60);
}

void PrintText(const std::string& driveKey, const DiscRecord& record, const TitleLookupResult& naming,
               const DiscSubcode& subcode)
{
    const AlbumInfo& album = record.album;
    std::printf("Drive: %s\n", Printable(driveKey).c_str());
    std::printf("Disc id: %s\n", naming.discId.c_str());
    if (const auto accurateRip = AccurateRipIdOf(record.rawToc))
        std::printf("AccurateRip id: %s\n", accurateRip->Text().c_str());
    std::printf("Titles from: %s%s%s\n", TitlesFromName(naming.titlesFrom), naming.failure.empty() ? "" : " — ",
                Printable(naming.failure).c_str());
    if (naming.titlesFrom != TitlesFrom::None) {
        std::printf("Release: %s\n", Printable(DisplayUtf8(album.source)).c_str());
        for (std::size_t i = 0; i < album.releases.size(); ++i) {
            const ReleaseSummary& r = album.releases[i];
            std::string line = "  " + std::to_string(i + 1) + ". " + r.title + " — " + r.artist;
            for (const std::string* part : {&r.date, &r.country, &r.label, &r.catalogNumber, &r.barcode})
                line += ", " + (part->empty() ? std::string("-") : *part);
            if (r.discs > 1) line += ", disc " + std::to_string(r.disc) + " of " + std::to_string(r.discs);
            line += ", " + std::to_string(r.tracks) + " tracks";
            if (r.id == album.source) line += " (used)";
            std::printf("%s\n", Printable(DisplayUtf8(line)).c_str());
        }
        if (const std::string releases = ReleasesLine(album); !releases.empty())
            std::printf("%s\n", Printable(releases).c_str());
        std::printf("Artist: %s\nAlbum: %s\nYear: %s\n", Printable(DisplayUtf8(album.artist)).c_str(),
                    Printable(DisplayUtf8(album.album)).c_str(), Printable(DisplayUtf8(album.year)).c_str());
    }
    std::printf("    #  Track     Start    Length   Time  Title\n");
    for (std::size_t i = 0; i < record.tracks.size(); ++i) {
        const TocEntry& entry = record.tracks[i];
        const int seconds = entry.length / 75;
        std::printf("  %3zu  %5u  %8d  %8d  %2d:%02d  %s\n", i + 1, unsigned(record.trackNumbers[i]), entry.start,
                    entry.length, seconds / 60, seconds % 60, Title(record, i).c_str());
    }
    std::printf("Lead-out: %d\n", record.leadOut);
    if (record.hiddenTrack)
        std::printf("Hidden track: %s before track 1 (%d sectors)\n", Duration(record.hiddenTrack->length).c_str(),
                    record.hiddenTrack->length);
    std::printf("Catalog: %s\n", subcode.catalog.empty() ? "none" : subcode.catalog.c_str());
    std::printf("Gaps: %s\n", !subcode.gapsSearched ? "not looked for (--gaps looks)"
                               : subcode.gapsDetected ? "detected"
                                                   : "gaps not detected");
    std::printf("    #  Pregap  ISRC          Pre-emphasis\n");
    for (std::size_t i = 0; i < record.tracks.size(); ++i) {
        const auto pregap = PregapOf(subcode, i);
        const std::string isrc = i < subcode.isrcs.size() && !subcode.isrcs[i].empty() ? subcode.isrcs[i] : "-";
        std::printf("  %3zu  %6s  %-12s  %s\n", i + 1, pregap ? std::to_string(*pregap).c_str() : "-", isrc.c_str(),
                    i < subcode.preemphasis.size() && subcode.preemphasis[i] ? "yes" : "no");
    }
}

void PrintJson(const std::string& driveKey, const DiscRecord& record, const TitleLookupResult& naming,
               const DiscSubcode& subcode)
{
    const AlbumInfo& album = record.album;
    const auto accurateRip = AccurateRipIdOf(record.rawToc);
    std::string json = "{\"drive\": " + JsonString(driveKey) + ", \"discid\": " + JsonString(naming.discId) +
                       ", \"titles_from\": " + JsonString(TitlesFromName(naming.titlesFrom)) +
                       ", \"release\": " + JsonString(album.source) + ", \"artist\": " + JsonString(album.artist) +
                       ", \"album\": " + JsonString(album.album) + ", \"year\": " + JsonString(album.year) +
                       ", \"titles\": [";
    for (std::size_t i = 0; i < album.trackTitles.size(); ++i)
        json += (i > 0 ? ", " : "") + JsonString(album.trackTitles[i]);
    json += "], \"tracks\": [";
    for (std::size_t i = 0; i < record.tracks.size(); ++i) {
        if (i > 0) json += ", ";
        json += "{\"position\": " + std::to_string(i + 1) + ", \"number\": " +
                std::to_string(record.trackNumbers[i]) + ", \"start\": " + std::to_string(record.tracks[i].start) +
                ", \"length\": " + std::to_string(record.tracks[i].length) +
                ", \"title\": " + JsonString(TitleOfAudioTrack(record, i));
        const auto pregap = PregapOf(subcode, i);
        const std::string isrc = i < subcode.isrcs.size() ? subcode.isrcs[i] : std::string();
        json += ", \"pregap\": " + (pregap ? std::to_string(*pregap) : std::string("null")) +
                ", \"isrc\": " + (isrc.empty() ? std::string("null") : JsonString(isrc)) + ", \"preemphasis\": " +
                (i < subcode.preemphasis.size() && subcode.preemphasis[i] ? "true" : "false") + "}";
    }
    json += "], \"leadout\": " + std::to_string(record.leadOut) + ", \"accuraterip_id\": " +
            (accurateRip ? JsonString(accurateRip->Text()) : std::string("null")) +
            ", \"catalog\": " + (subcode.catalog.empty() ? std::string("null") : JsonString(subcode.catalog)) +
            ", \"gaps_detected\": " + (subcode.gapsDetected ? "true" : "false") + ", \"hidden_track\": " +
            (record.hiddenTrack ? "{\"start\": " + std::to_string(record.hiddenTrack->start) +
                                      ", \"length\": " + std::to_string(record.hiddenTrack->length) + "}"
                                : std::string("null")) +
            ", \"releases\": [";
    for (std::size_t i = 0; i < album.releases.size(); ++i) {
        const ReleaseSummary& r = album.releases[i];
        json += std::string(i > 0 ? ", " : "") + "{\"id\": " + JsonString(r.id) + ", \"title\": " + JsonString(r.title) +
                ", \"artist\": " + JsonString(r.artist) + ", \"date\": " + JsonString(r.date) +
                ", \"country\": " + JsonString(r.country) + ", \"label\": " + JsonString(r.label) +
                ", \"catalog_number\": " + JsonString(r.catalogNumber) + ", \"barcode\": " + JsonString(r.barcode) +
                ", \"disc\": " + std::to_string(r.disc) + ", \"discs\": " + std::to_string(r.discs) +
                ", \"tracks\": " + std::to_string(r.tracks) + ", \"used\": " + (r.id == album.source ? "true" : "false") +
                "}";
    }
    json += "]}\n";
    std::fputs(json.c_str(), stdout);
}

}  // namespace

int RunInfoCommand(const CliOptions& options)
{
    DiscRecords records;
    RipJob job;
    const FoundDisc found = FindAudioDisc(options, records, job);
    if (!found.driveKey) return found.exitCode;
    const TitleLookupResult naming = NameDisc(options, records, job.driveKey, LoadSettings().HomeURL);
    const DiscRecord& record = records[job.driveKey];
    const DiscSubcode subcode = ReadDiscSubcode(*record.drive, record, options.gaps.value_or(false));
    if (options.json)
        PrintJson(job.driveKey, record, naming, subcode);
    else
        PrintText(job.driveKey, record, naming, subcode);
    return kExitOk;
}

}  // namespace tesslow
