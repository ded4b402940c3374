#include "cli/rip_report_output.h"

#include "cli/json_text.h"
#include "cli/printable.h"
#include "metadata/track_titles.h"
#include "platform/utf.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tesslow {

namespace {

std::string Hex(std::uint32_t value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

// "NN — Title", as the progress shows a track ("Track NN" without a title).
std::string TrackLabel(const DiscRecord& disc, std::uint32_t t)
{
    char number[8];
    std::snprintf(number, sizeof number, "%02d", TrackNumberOf(disc, t));
    return std::string(number) + " \xE2\x80\x94 " + Printable(DisplayUtf8(TitleOfAudioTrack(disc, t)));
}

// {"gain": -6.52, "peak": 0.988547}: as the tags give them.
std::string JsonReplayGain(const ReplayGain& value)
{
    char text[64];
    std::snprintf(text, sizeof text, "{\"gain\": %.2f, \"peak\": %.6f}", std::fabs(value.gain) < 0.005 ? 0.0 : value.gain,
                  value.peak);
    return text;
}

const AccuracyOutcome::Track* JudgedTrack(const RipMonitor& monitor, std::uint32_t trackIndex)
{
    if (!monitor.Accuracy()) return nullptr;
    const auto& tracks = monitor.Accuracy()->tracks;
    const auto found = std::find_if(tracks.begin(), tracks.end(),
                                    [&](const AccuracyOutcome::Track& t) { return t.trackIndex == trackIndex; });
    return found == tracks.end() ? nullptr : &*found;
}

const char* ResultName(RipResult result)
{
    switch (result) {
    case RipResult::Success: return "completed";
    case RipResult::Canceled: return "canceled";
    case RipResult::CompletedWithErrors: break;
    }
    return "completed with errors";
}

const char* StatusName(AccuracyOutcome::Status status)
{
    switch (status) {
    case AccuracyOutcome::Status::Found: return "found";
    case AccuracyOutcome::Status::NotFound: return "not found";
    case AccuracyOutcome::Status::Error: return "error";
    case AccuracyOutcome::Status::Off: break;
    }
    return "off";
}

const char* VerdictName(TrackAccuracy::Result result)
{
    switch (result) {
    case TrackAccuracy::Result::Accurate: return "accurate";
    case TrackAccuracy::Result::NotAccurate: return "not accurate";
    case TrackAccuracy::Result::NotPresent: break;
    }
    return "not present";
}

const char* SourceName(ReadOffsetUsed::Source source)
{
    switch (source) {
    case ReadOffsetUsed::Source::Given: return "given";
    case ReadOffsetUsed::Source::Remembered: return "remembered";
    case ReadOffsetUsed::Source::Found: return "found";
    case ReadOffsetUsed::Source::Unknown: break;
    }
    return "unknown";
}

const char* TrackStatusName(TrackOutcome::Status status)
{
    switch (status) {
    case TrackOutcome::Status::Ripped: return "ripped";
    case TrackOutcome::Status::Skipped: return "skipped";
    case TrackOutcome::Status::Error: break;
    }
    return "error";
}

std::string JsonTrack(const RipMonitor& monitor, const TrackOutcome& track)
{
    const AccuracyOutcome::Track* judged = JudgedTrack(monitor, track.trackIndex);
    std::vector<std::string> errors = track.errors;
    if (judged && !judged->error.empty()) errors.push_back(judged->error);
    std::string json = "{\"position\": " + std::to_string(track.trackIndex == kHiddenTrackIndex ? 0 : track.trackIndex + 1) +
                       ", \"number\": " + std::to_string(track.number) + ", \"file\": " + JsonString(track.file) +
                       ", \"status\": " + JsonString(TrackStatusName(track.status)) + ", \"errors\": [";
    for (std::size_t i = 0; i < errors.size(); ++i) json += (i > 0 ? ", " : "") + JsonString(errors[i]);
    json += "], \"silent_samples\": " + std::to_string(track.silentSamples) +
            ", \"replaygain\": " + (track.replayGain ? JsonReplayGain(*track.replayGain) : std::string("null")) +
            ", \"crc32\": ";
    if (!track.sums) return json + "null, \"accuraterip\": null}";
    json += JsonString(Hex(track.sums->crc32)) + ", \"accuraterip\": {\"v1\": " + JsonString(Hex(track.sums->v1)) +
            ", \"v2\": " + JsonString(Hex(track.sums->v2)) + ", \"result\": ";
    if (!judged || monitor.Accuracy()->status == AccuracyOutcome::Status::Error ||
        monitor.Accuracy()->status == AccuracyOutcome::Status::Off)
        return json + "null, \"confidence\": 0, \"match\": null}}";
    const TrackAccuracy& verdict = judged->verdict;
    json += JsonString(VerdictName(verdict.result)) + ", \"confidence\": " + std::to_string(verdict.confidence) +
            ", \"match\": " + (verdict.version == 0 ? std::string("null") : JsonString("v" + std::to_string(verdict.version)));
    return json + "}}";
}

std::string JsonCover(const std::optional<CoverOutcome>& cover)
{
    if (!cover || cover->source == CoverOutcome::Source::None) return "null";
    const char* source = cover->source == CoverOutcome::Source::Archive ? "archive"
                         : cover->source == CoverOutcome::Source::Cache ? "cache"
                                                                         : "file";
    return "{\"source\": " + JsonString(source) + ", \"location\": " + JsonString(cover->where) +
           ", \"mime\": " + JsonString(cover->mime) + ", \"width\": " + std::to_string(cover->width) +
           ", \"height\": " + std::to_string(cover->height) + ", \"bytes\": " + std::to_string(cover->bytes) + "}";
}

}  // namespace

std::string RipReportText(const RipMonitor& monitor, const DiscRecord& disc)
{
    const RipResult result = monitor.Result();
    std::string text = result == RipResult::Success    ? "Done: every track was ripped.\n"
                       : result == RipResult::Canceled ? "Canceled.\n"
                                                       : "Done, with errors:\n";
    if (result != RipResult::Success)
        for (const std::string& line : monitor.ErrorLines()) text += "  " + Printable(line) + "\n";
    for (const std::string& line : monitor.NoteLines()) text += "Note: " + Printable(line) + "\n";
    if (const auto& cover = monitor.Cover()) text += Printable(cover->text) + "\n";
    if (const auto& accuracy = monitor.Accuracy(); accuracy && accuracy->status != AccuracyOutcome::Status::Off) {
        if (accuracy->status == AccuracyOutcome::Status::Found) {
            text += "AccurateRip (" + accuracy->id + "):\n";
            for (const AccuracyOutcome::Track& track : accuracy->tracks)
                text += "  " + TrackLabel(disc, track.trackIndex) + ": " + track.text + "\n";
        }
        if (!accuracy->summary.empty()) text += Printable(accuracy->summary) + "\n";
    }
    return text;
}

std::string RipReportJson(const RipMonitor& monitor, const std::string& outputFolder)
{
    const RipResult result = monitor.Result();
    std::string json = "{\"result\": " + JsonString(ResultName(result)) +
                       ", \"exit_code\": " + std::to_string(static_cast<int>(result)) +
                       ", \"output\": " + JsonString(outputFolder) + ", \"accuraterip\": ";
    if (const auto& accuracy = monitor.Accuracy()) {
        json += "{\"id\": " + (accuracy->id.empty() ? std::string("null") : JsonString(accuracy->id)) +
                ", \"status\": " + JsonString(StatusName(accuracy->status)) +
                ", \"responses\": " + std::to_string(accuracy->responses) +
                ", \"max_confidence\": " + std::to_string(accuracy->maxConfidence) + "}";
    } else {
        json += "{\"id\": null, \"status\": \"off\", \"responses\": 0, \"max_confidence\": 0}";
    }
    json += ", \"read_offset\": ";
    if (const auto& offset = monitor.ReadOffset())
        json += "{\"samples\": " + std::to_string(offset->samples) + ", \"source\": " +
                JsonString(SourceName(offset->source)) + ", \"drive\": " + JsonString(offset->drive) + "}";
    else
        json += "null";
    json += ", \"overread\": " + std::string(monitor.ReadOffset() && monitor.ReadOffset()->overread ? "true" : "false");
    json += ", \"cover\": " + JsonCover(monitor.Cover());
    json += ", \"notes\": [";
    for (std::size_t i = 0; i < monitor.NoteLines().size(); ++i)
        json += (i > 0 ? ", " : "") + JsonString(monitor.NoteLines()[i]);
    json += "], \"tracks\": [";
    const auto& tracks = monitor.Tracks();
    for (std::size_t i = 0; i < tracks.size(); ++i) json += (i > 0 ? ", " : "") + JsonTrack(monitor, tracks[i]);
    json += "], \"album_replaygain\": ";
    if (const auto& album = monitor.AlbumGain()) {
        json += JsonReplayGain(album->gain);
        json.pop_back();
        json += ", \"tracks\": [";
        for (std::size_t i = 0; i < album->tracks.size(); ++i) json += (i > 0 ? ", " : "") + std::to_string(album->tracks[i]);
        json += "], \"whole_disc\": " + std::string(album->wholeDisc ? "true" : "false") + "}";
    } else {
        json += "null";
    }
    return json + "}\n";
}

}  // namespace tesslow
