#include "cli/options.h"

#include "app/cd_audio.h"
#include "encoding/presets.h"

#include <charconv>

namespace tesslow {

const char* const kUsageText =
    "Usage: tesslow-rip [OPTIONS] [--json]  rip the disc\n"
    "       tesslow-rip --info [--drive KEY] [--json] [--no-lookup] [--gaps] [--release R] [names]\n"
    "       tesslow-rip --play N [--drive KEY] [--no-lookup]\n"
    "       tesslow-rip --find-offset [--drive KEY] [--overread | --no-overread] [--json]\n"
    "       tesslow-rip --settings | --check-installation | --version | --help\n"
    "\n"
    "Ripping (defaults come from your settings, which it never changes; a drive's read\n"
    "offset that it finds is remembered for the drive model):\n"
    "  --drive KEY            the drive: a device such as /dev/sr0, or a disc image's CUE sheet\n"
    "                         (default: the first drive holding an audio disc)\n"
    "  --format F             wav, mp3, wma, ogg, ape or flac\n"
    "  --quality Q            low, medium, high, or custom:KBPS naming a step of the\n"
    "                         format's table (custom:192 is the \"192 kbps\" step)\n"
    "  --tracks LIST          track positions to rip, such as 1,3-5 (default: all); 0 is the\n"
    "                         hidden track before track 1, when the disc has one\n"
    "  --output DIR           destination folder\n"
    "  --template T           file-name template: %1 artist, %2 title, %3 album,\n"
    "                         %4 year, %5 track number\n"
    "  --artist-folder        put the files into an artist subfolder (--no-artist-folder: not)\n"
    "  --album-folder         put the files into an album subfolder (--no-album-folder: not)\n"
    "  --year                 put the year in front of the album subfolder's name (--no-year: not)\n"
    "  --overwrite            replace existing files without asking\n"
    "  --paranoia             read with jitter correction\n"
    "  --no-paranoia          read without jitter correction\n"
    "  --eject                eject the disc when done\n"
    "  --no-lookup            name the disc from the title cache only\n"
    "  --release R            name the disc from release R of those its disc id matches: its\n"
    "                         number in --info's list (from 1) or its MusicBrainz id; the choice\n"
    "                         is kept with the disc in the title cache\n"
    "Names (kept in the title cache as your own, so no later look-up replaces them):\n"
    "  --artist TEXT          the disc's artist\n"
    "  --album TEXT           the album's title\n"
    "  --date YEAR            the album's year\n"
    "  --genre TEXT           the album's genre\n"
    "  --title N=TEXT         track N's title (repeatable; an empty one is \"Track NN\")\n"
    "  --no-accuraterip       do not check the tracks against the AccurateRip database\n"
    "  --require-accurate     a track AccurateRip does not confirm is an error\n"
    "  --offset N             the drive's read offset correction in samples, such as +667 or -472\n"
    "                         (default: the one remembered for the drive model, else found with\n"
    "                         AccurateRip when it knows the disc, else 0)\n"
    "  --overread             read the sectors just outside the disc that the offset needs\n"
    "  --no-overread          give silence there instead (default: the drive model's setting, off)\n"
    "  --verify-reads         read every track that AccurateRip does not confirm again, until two\n"
    "                         reads agree (at most five reads)\n"
    "  --no-verify-reads      read every track once\n"
    "  --no-log               write no rip log beside the files\n"
    "  --no-cue               write no CUE sheet beside the files\n"
    "  --no-gaps              do not look for the tracks' gaps in the disc's sub-channel\n"
    "  --deemphasis           de-emphasise a pre-emphasised track (every format but WAV)\n"
    "  --no-deemphasis        keep the disc's pre-emphasised audio (default: the Deemphasis setting, on)\n"
    "  --cover FILE           embed the JPEG or PNG picture FILE as the front cover and put it\n"
    "                         beside the files (default: the release's from the Cover Art Archive)\n"
    "  --no-replaygain        measure no loudness and write no ReplayGain tags (default: the\n"
    "                         ReplayGain setting, on)\n"
    "  --json                 print one JSON object at the end (progress goes to stderr)\n"
    "\n"
    "Other commands:\n"
    "  --info                 show the disc: drive, tracks, lead-out, identifiers and titles\n"
    "                         (with --json: as one JSON object; with --gaps: each track's pregap)\n"
    "  --play N               play track N from the disc on to its end; Enter or Ctrl-C stops\n"
    "  --find-offset          find the drive's read offset with a disc that AccurateRip knows and\n"
    "                         remember it for the drive model (and --overread or --no-overread)\n"
    "  --settings             print the loaded settings, one Name=value per line\n"
    "  --check-installation   verify that the program is properly installed\n"
    "  --version              print the version\n"
    "  --help                 show this help\n"
    "\n"
    "Exit codes: 0 success, 1 canceled, 3 completed with errors, 2 no audio disc or usage error.\n";

namespace {

std::uint32_t ParseNumber(std::string_view text, const std::string& what)
{
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        throw UsageError("invalid " + what + ": " + std::string(text));
    return value;
}

std::vector<std::uint32_t> ParseTracks(const std::string& list)
{
    std::vector<std::uint32_t> tracks;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string_view item(list.data() + start, end - start);
        const std::size_t dash = item.find('-');
        const std::uint32_t first = ParseNumber(item.substr(0, dash), "track list");
        const std::uint32_t last = dash == std::string_view::npos ? first : ParseNumber(item.substr(dash + 1), "track list");
        // 0 is the hidden track before track 1.
        if (last < first || last > 99) throw UsageError("invalid track list: " + list);
        for (std::uint32_t t = first; t <= last; ++t) tracks.push_back(t);
        start = end + 1;
    }
    return tracks;
}

std::int32_t ParseOffset(const std::string& text)
{
    std::int32_t value = 0;
    const std::string_view digits = text.size() > 1 && text[0] == '+' ? std::string_view(text).substr(1) : text;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    const bool signTwice = digits.size() != text.size() && digits.starts_with('-');
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty() || signTwice ||
        value < -kLargestReadOffset || value > kLargestReadOffset)
        throw UsageError("invalid read offset: " + text + " (a number of samples from -" +
                         std::to_string(kLargestReadOffset) + " to +" + std::to_string(kLargestReadOffset) + ")");
    return value;
}

FormatCode ParseFormat(const std::string& name)
{
    const FormatInfo* format = FindFormat(name);
    if (!format) throw UsageError("unknown format: " + name);
    return format->code;
}

QualityChoice ParseQuality(const std::string& text)
{
    if (text == "low") return {QualityPreset::Low, 0};
    if (text == "medium") return {QualityPreset::Medium, 0};
    if (text == "high") return {QualityPreset::High, 0};
    if (text.rfind("custom:", 0) == 0)
        return {QualityPreset::Custom, static_cast<std::int32_t>(ParseNumber(text.substr(7), "quality"))};
    throw UsageError("unknown quality: " + text);
}

// --title N=TEXT
std::pair<std::uint32_t, std::string> ParseTitle(const std::string& text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        throw UsageError("invalid --title: " + text + " (N=TEXT, N the track's position)");
    return {ParseNumber(text.substr(0, equals), "track"), text.substr(equals + 1)};
}

}  // namespace

CliOptions ParseOptions(const std::vector<std::string>& args)
{
    CliOptions options;
    auto setCommand = [&](CliCommand command) {
        if (options.command != CliCommand::Rip) throw UsageError("only one command at a time");
        options.command = command;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--info") setCommand(CliCommand::Info);
        else if (arg == "--settings") setCommand(CliCommand::Settings);
        else if (arg == "--find-offset") setCommand(CliCommand::FindOffset);
        else if (arg == "--check-installation") setCommand(CliCommand::CheckInstallation);
        else if (arg == "--version") setCommand(CliCommand::Version);
        else if (arg == "--help" || arg == "-h") setCommand(CliCommand::Help);
        else if (arg == "--play") {
            setCommand(CliCommand::Play);
            options.playTrack = ParseNumber(value(), "track");
        } else if (arg == "--drive") options.drive = value();
        else if (arg == "--json") options.json = true;
        else if (arg == "--no-lookup") options.noLookup = true;
        else if (arg == "--format") options.format = ParseFormat(value());
        else if (arg == "--quality") options.quality = ParseQuality(value());
        else if (arg == "--tracks") options.tracks = ParseTracks(value());
        else if (arg == "--output") options.output = value();
        else if (arg == "--template") options.nameTemplate = value();
        else if (arg == "--artist-folder") options.artistFolder = true;
        else if (arg == "--no-artist-folder") options.artistFolder = false;
        else if (arg == "--album-folder") options.albumFolder = true;
        else if (arg == "--no-album-folder") options.albumFolder = false;
        else if (arg == "--year") options.yearInAlbumFolder = true;
        else if (arg == "--no-year") options.yearInAlbumFolder = false;
        else if (arg == "--overwrite") options.overwrite = true;
        else if (arg == "--paranoia") options.paranoia = true;
        else if (arg == "--no-paranoia") options.paranoia = false;
        else if (arg == "--eject") options.eject = true;
        else if (arg == "--no-accuraterip") options.noAccurateRip = true;
        else if (arg == "--require-accurate") options.requireAccurate = true;
        else if (arg == "--offset") options.offset = ParseOffset(value());
        else if (arg == "--overread") options.overread = true;
        else if (arg == "--no-overread") options.overread = false;
        else if (arg == "--verify-reads") options.verifyReads = true;
        else if (arg == "--no-verify-reads") options.verifyReads = false;
        else if (arg == "--no-log") options.noLog = true;
        else if (arg == "--no-cue") options.noCue = true;
        else if (arg == "--gaps") options.gaps = true;
        else if (arg == "--deemphasis") options.deemphasis = true;
        else if (arg == "--no-deemphasis") options.deemphasis = false;
        else if (arg == "--no-replaygain") options.noReplayGain = true;
        else if (arg == "--no-gaps") options.gaps = false;
        else if (arg == "--cover") options.cover = value();
        else if (arg == "--release") options.release = value();
        else if (arg == "--artist") options.artist = value();
        else if (arg == "--album") options.album = value();
        else if (arg == "--date") options.date = value();
        else if (arg == "--genre") options.genre = value();
        else if (arg == "--title") options.titles.push_back(ParseTitle(value()));
        else throw UsageError("unknown option: " + arg);
    }
    return options;
}

}  // namespace tesslow
