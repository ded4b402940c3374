// ReplayGain through a whole rip: a disc of three tracks of known loudness
// (SoX's sine and pink noise, measured by FFmpeg's ebur128 filter as the
// independent judge), ripped by tesslow-rip in every tagged format and read
// back by mutagen; lossless files decoded by FFmpeg must still hold the
// disc's audio exactly after the album's tags went in, lossy ones decode
// without an error (Ogg's page checksums). A canceled rip leaves its
// finished track with its own gain and no album gain.

#include "support/command.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunCommand;
using test::RunProgram;
using Tags = std::map<std::string, std::string>;

// Every text tag of a file as mutagen reads it, "NAME=value" per line with the
// name in upper case: ID3v2 TXXX frames by their description (and TIT2 as
// TITLE), the other layouts by their own names.
constexpr const char* kTagsScript = R"(
import sys, mutagen
from mutagen.id3 import ID3
f = mutagen.File(sys.argv[1])
lines = []
if isinstance(f.tags, ID3):
    for frame in f.tags.getall("TXXX"):
        lines.append(frame.desc.upper() + "=" + str(frame.text[0]))
    for frame in f.tags.getall("TIT2"):
        lines.append("TITLE=" + str(frame.text[0]))
elif f.tags is not None:
    for name, value in f.tags.items():
        for item in (value if isinstance(value, list) else [value]):
            lines.append(name.upper() + "=" + str(item))
sys.stdout.write("".join(line + "\n" for line in lines))
)";

Tags TagsOf(const fs::path& file)
{
    const auto read = RunCommand({"/usr/bin/python3", "-c", kTagsScript, file.string()});
    EXPECT_EQ(read.exitCode, 0) << read.err;
    Tags tags;
    std::istringstream in(read.out);
    for (std::string line; std::getline(in, line);) {
        const std::size_t equals = line.find('=');
        // ASF keeps the title in its content description too: the same value twice.
        const auto [known, added] = tags.emplace(line.substr(0, equals), line.substr(equals + 1));
        EXPECT_TRUE(added || known->second == line.substr(equals + 1)) << "two values: " << line << " in " << file;
    }
    return tags;
}

// FFmpeg's integrated loudness of the audio of `files` played one after the
// other, in LUFS, to a thousandth.
double FfmpegLoudness(const std::vector<fs::path>& files)
{
    std::vector<std::string> command = {"ffmpeg", "-nostats", "-hide_banner"};
    for (const fs::path& file : files) command.insert(command.end(), {"-i", file.string()});
    command.insert(command.end(),
                   {"-filter_complex",
                    "concat=n=" + std::to_string(files.size()) +
                        ":v=0:a=1,ebur128=metadata=1,ametadata=mode=print:key=lavfi.r128.I:file=/dev/stdout",
                    "-f", "null", "-"});
    const auto measured = RunCommand(command);
    const std::size_t at = measured.out.rfind("lavfi.r128.I=");
    EXPECT_NE(at, std::string::npos) << measured.err;
    return at == std::string::npos ? 0 : std::stod(measured.out.substr(at + 13));
}

// The 16-bit PCM of any file FFmpeg decodes; empty when it reports an error.
std::string Decoded(const fs::path& file)
{
    const auto decoded = RunCommand({"ffmpeg", "-v", "error", "-i", file.string(), "-f", "s16le", "-"});
    EXPECT_EQ(decoded.exitCode, 0) << decoded.err;
    EXPECT_EQ(decoded.err, "") << file;
    return decoded.exitCode == 0 ? decoded.out : std::string();
}

// The largest sample's magnitude, 1.0 at full scale.
double PeakOf(const std::string& pcm)
{
    int peak = 0;
    for (std::size_t i = 0; i + 1 < pcm.size(); i += 2)
        peak = std::max(peak, std::abs(static_cast<std::int16_t>(static_cast<unsigned char>(pcm[i]) |
                                                                 static_cast<unsigned char>(pcm[i + 1]) << 8)));
    return peak / 32768.0;
}

// "-6.52 dB" -> -6.52; NaN when the text is not a gain.
double GainOf(const std::string& text)
{
    if (!text.ends_with(" dB")) return std::nan("");
    return std::stod(text);
}

// The number after `"key": ` at or after `from` in the JSON report.
double JsonNumber(const std::string& json, const std::string& key, std::size_t& from)
{
    from = json.find("\"" + key + "\": ", from);
    if (from == std::string::npos) return std::nan("");
    from += key.size() + 4;
    return std::stod(json.substr(from));
}

struct Row {
    const char* format;
    const char* extension;
    bool lossless;
    bool replayGain;            // false: --no-replaygain
    std::vector<int> tracks{1, 2, 3};  // ripped
};

const Row kRows[] = {
    {"flac", ".flac", true, true},  {"ape", ".ape", true, true},  {"ogg", ".ogg", false, true},
    {"mp3", ".mp3", false, true},   {"wma", ".wma", false, true}, {"flac", ".flac", true, false},
    {"flac", ".flac", true, true, {1, 3}},
};

class ReplayGainRip : public ::testing::Test {
protected:
    // Three ten-second tracks near -10, -18 and -30 LUFS: a loud sine, pink
    // noise, a quiet sine. Each track is a WAVE file of the image. (FFmpeg
    // measures the joined tracks with blocks across their joins, which the
    // album's measurement over the tracks does not have: short tracks would
    // make that count.)
    void SetUp() override
    {
        const char* signals[][3] = {{"sine", "1000", "0.316"}, {"pinknoise", "", "0.424"}, {"sine", "440", "0.0355"}};
        std::string cue;
        for (int t = 0; t < 3; ++t) {
            const fs::path wave = dir / ("t" + std::to_string(t + 1) + ".wav");
            std::vector<std::string> sox = {"sox", "-R", "-n", "-r", "44100", "-c", "2", "-b", "16", wave.string(),
                                            "synth", "10", signals[t][0]};
            if (*signals[t][1]) sox.push_back(signals[t][1]);
            sox.insert(sox.end(), {"vol", signals[t][2]});
            ASSERT_EQ(RunCommand(sox).exitCode, 0);
            waves.push_back(wave);
            cue += "FILE \"" + wave.filename().string() + "\" WAVE\n  TRACK 0" + std::to_string(t + 1) +
                   " AUDIO\n    INDEX 01 00:00:00\n";
        }
        test::WriteCueSheet(dir / "disc.cue", cue);
    }

    std::vector<std::string> Args(const std::string& format, std::vector<std::string> extra = {}) const
    {
        std::vector<std::string> args = {"--drive", (dir / "disc.cue").string(), "--output", (dir / "out").string(),
                                          "--no-lookup", "--no-accuraterip", "--no-verify-reads", "--offset", "0", "--no-cue",
                                          "--template", "%5", "--format", format, "--json"};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    std::vector<std::string> Entries() const { return test::FolderEntries(dir / "out"); }

    test::UserSandbox sandbox;
    test::TempDir dir;
    std::vector<fs::path> waves;
};

TEST_F(ReplayGainRip, EveryFormatCarriesTrackAndAlbumGainsAsFfmpegMeasuresThem)
{
    std::vector<std::string> sources;
    std::vector<double> loudness, peaks;
    for (const fs::path& wave : waves) {
        sources.push_back(Decoded(wave));
        loudness.push_back(FfmpegLoudness({wave}));
        peaks.push_back(PeakOf(sources.back()));
    }
    ASSERT_NEAR(loudness[0], -10, 1);
    ASSERT_NEAR(loudness[2], -30, 1);

    for (const Row& row : kRows) {
        std::string numbers;  // "1, 2, 3"
        std::vector<fs::path> ripped;
        double peak = 0;
        for (const int t : row.tracks) {
            numbers += (numbers.empty() ? "" : ", ") + std::to_string(t);
            ripped.push_back(waves[static_cast<std::size_t>(t - 1)]);
            peak = std::max(peak, peaks[static_cast<std::size_t>(t - 1)]);
        }
        SCOPED_TRACE(std::string(row.format) + (row.replayGain ? "" : " --no-replaygain") + " tracks " + numbers);
        // Only the tracks of the rip make the album.
        const double album = FfmpegLoudness(ripped);
        fs::remove_all(dir / "out");
        std::vector<std::string> extra = {"--album", "Loud and Quiet", "--title", "2=Noise", "--tracks",
                                          std::to_string(row.tracks.front()) + "-" + std::to_string(row.tracks.back())};
        if (row.tracks.size() == 2) extra.back() = "1,3";
        if (!row.replayGain) extra.push_back("--no-replaygain");
        const auto rip = RunProgram("tesslow-rip", Args(row.format, extra));
        ASSERT_EQ(rip.exitCode, 0) << rip.out << rip.err;
        const std::string& json = rip.out;
        const std::string log = ReadFile(dir / "out" / Entries().back());
        ASSERT_TRUE(Entries().back().ends_with(".log"));

        Tags first;
        std::size_t at = 0;
        for (int number : row.tracks) {
            const int t = number - 1;
            const fs::path file = dir / "out" / ("0" + std::to_string(t + 1) + row.extension);
            Tags tags = TagsOf(file);
            if (t == 1) {
                EXPECT_EQ(tags.count("TITLE") ? tags.at("TITLE") : "", "Noise") << "a tag set before is kept";
            }
            if (row.lossless) {
                EXPECT_TRUE(Decoded(file) == sources[t]) << file << ": the audio changed";
            } else {
                EXPECT_FALSE(Decoded(file).empty());
            }
            if (!row.replayGain) {
                for (const auto& [name, value] : tags) EXPECT_FALSE(name.starts_with("REPLAYGAIN")) << name;
                continue;
            }
            const double gain = GainOf(tags.count("REPLAYGAIN_TRACK_GAIN") ? tags.at("REPLAYGAIN_TRACK_GAIN") : "");
            EXPECT_NEAR(gain, -18 - loudness[t], 0.1) << "track " << t + 1;
            EXPECT_NEAR(std::stod("0" + tags["REPLAYGAIN_TRACK_PEAK"]), peaks[t], 0.001);
            EXPECT_EQ(tags["REPLAYGAIN_REFERENCE_LOUDNESS"], "-18.00 LUFS");
            EXPECT_NEAR(GainOf(tags["REPLAYGAIN_ALBUM_GAIN"]), -18 - album, 0.1);
            EXPECT_NEAR(std::stod("0" + tags["REPLAYGAIN_ALBUM_PEAK"]), peak, 0.001);
            if (first.empty()) first = tags;
            EXPECT_EQ(tags.at("REPLAYGAIN_ALBUM_GAIN"), first["REPLAYGAIN_ALBUM_GAIN"]);

            // The report and the log give what the tags hold.
            EXPECT_NEAR(JsonNumber(json, "gain", at), gain, 0.001) << json;
            EXPECT_NEAR(JsonNumber(json, "peak", at), std::stod("0" + tags["REPLAYGAIN_TRACK_PEAK"]), 0.000001);
            EXPECT_NE(log.find("    ReplayGain track gain: \"" + tags["REPLAYGAIN_TRACK_GAIN"] + "\"\n"),
                      std::string::npos)
                << log;
        }
        if (!row.replayGain) {
            EXPECT_NE(json.find("\"album_replaygain\": null"), std::string::npos) << json;
            EXPECT_EQ(log.find("ReplayGain"), std::string::npos) << log;
            continue;
        }
        at = json.find("\"album_replaygain\": ");
        EXPECT_NEAR(JsonNumber(json, "gain", at), GainOf(first["REPLAYGAIN_ALBUM_GAIN"]), 0.001) << json;
        const bool whole = row.tracks.size() == 3;
        EXPECT_NE(json.find("\"tracks\": [" + numbers + "], \"whole_disc\": " + (whole ? "true}" : "false}")),
                  std::string::npos)
            << json;
        EXPECT_NE(log.find("  ReplayGain album gain: \"" + first["REPLAYGAIN_ALBUM_GAIN"] + "\"\n"), std::string::npos);
        EXPECT_NE(log.find("  ReplayGain album tracks: \"" + numbers +
                           (whole ? " (every track of the disc)" : " (only the tracks of this rip)") + "\"\n"),
                  std::string::npos)
            << log;
        EXPECT_EQ(json.find("measured over the tracks of this rip only") == std::string::npos, whole) << json;
    }
}

TEST_F(ReplayGainRip, ACanceledRipLeavesTrackGainsAndNoAlbumGain)
{
    // A drive that gives a track a second: the rip is interrupted in the second
    // track, once the first track's file has landed.
    const std::string cue = ReadFile(dir / "disc.cue");
    test::WriteCueSheet(dir / "disc.cue", "REM TESSLOW SPEED 750\n" + cue);
    test::RunningProgram rip("tesslow-rip", Args("mp3"));
    const fs::path first = dir / "out" / "Track 01.mp3";  // a disc without titles
    for (int i = 0; i < 2000 && !fs::exists(first); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(fs::exists(first));
    rip.Signal(SIGINT);
    const auto result = rip.Wait();
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;

    // The disc has no titles: the track's gain made the file's first ID3v2 tag.
    Tags tags = TagsOf(first);
    EXPECT_NEAR(GainOf(tags.count("REPLAYGAIN_TRACK_GAIN") ? tags.at("REPLAYGAIN_TRACK_GAIN") : ""),
                -18 - FfmpegLoudness({waves[0]}), 0.1);
    EXPECT_EQ(tags.count("REPLAYGAIN_ALBUM_GAIN"), 0u);
    EXPECT_EQ(tags.count("REPLAYGAIN_ALBUM_PEAK"), 0u);
    EXPECT_FALSE(fs::exists(dir / "out" / "Track 02.mp3"));
    EXPECT_NE(result.out.find("\"album_replaygain\": null"), std::string::npos) << result.out;
}

}  // namespace
}  // namespace tesslow
