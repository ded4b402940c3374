#pragma once

#include "app/rip_job.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tesslow {

enum class CliCommand { Rip, Info, Play, FindOffset, Settings, CheckInstallation, Version, Help };

// --quality low|medium|high|custom:KBPS
struct QualityChoice {
    QualityPreset preset = QualityPreset::Medium;
    std::int32_t customKbps = 0;  // custom only: names a step of the format's table
};

// The parsed command line. Options left unset fall back to the user's settings.
struct CliOptions {
    CliCommand command = CliCommand::Rip;
    std::optional<std::string> drive;  // drive key: device path or disc image
    bool json = false;
    bool noLookup = false;             // name the disc from the title cache only
    std::optional<FormatCode> format;
    std::optional<QualityChoice> quality;
    std::vector<std::uint32_t> tracks;  // 1-based positions; empty = all
    std::optional<std::string> output;
    std::optional<std::string> nameTemplate;
    std::optional<bool> artistFolder;  // --artist-folder / --no-artist-folder; else the setting
    std::optional<bool> albumFolder;
    std::optional<bool> yearInAlbumFolder;
    bool overwrite = false;
    std::optional<bool> paranoia;
    bool eject = false;
    bool noAccurateRip = false;         // do not ask AccurateRip
    bool requireAccurate = false;       // a track AccurateRip does not confirm is an error
    std::optional<std::int32_t> offset;  // the drive's read offset correction, in samples
    std::optional<bool> overread;        // read outside the disc's audio where the offset needs it
    std::optional<bool> verifyReads;     // read a track AccurateRip does not confirm again
    bool noLog = false;                  // no rip log
    bool noCue = false;                  // no CUE sheet
    std::optional<bool> deemphasis;      // de-emphasise pre-emphasised tracks (default: the setting)
    std::optional<std::string> cover;    // a JPEG or PNG file: the files' front cover
    bool noReplayGain = false;           // no loudness measured, no ReplayGain tags
    std::optional<bool> gaps;            // find the tracks' gaps (rips: on unless --no-gaps; --info: only with --gaps)
    std::uint32_t playTrack = 0;        // --play N: 1-based position
    std::optional<std::string> release;  // --release N (from 1) or a release id
    // The person's own names, over what the disc was named with.
    std::optional<std::string> artist;
    std::optional<std::string> album;
    std::optional<std::string> date;     // the year (or a full date)
    std::optional<std::string> genre;
    std::vector<std::pair<std::uint32_t, std::string>> titles;  // --title N=TEXT: 1-based position, title

    bool Edits() const { return artist || album || date || genre || !titles.empty(); }
};

// A command line that cannot be understood; its text says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

CliOptions ParseOptions(const std::vector<std::string>& args);

extern const char* const kUsageText;

}  // namespace tesslow
