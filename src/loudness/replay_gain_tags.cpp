#include "loudness/replay_gain_tags.h"

#include <cmath>
#include <cstdio>

namespace tesslow {

std::string GainText(double gain)
{
    // A gain that rounds to zero is written without a sign.
    if (std::fabs(gain) < 0.005) gain = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%.2f dB", gain);
    return text;
}

std::string PeakText(double peak)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", peak);
    return text;
}

std::vector<std::pair<std::string, std::string>> TrackGainTags(const ReplayGain& track)
{
    char reference[32];
    std::snprintf(reference, sizeof reference, "%.2f LUFS", kReplayGainReference);
    return {{"REPLAYGAIN_TRACK_GAIN", GainText(track.gain)},
            {"REPLAYGAIN_TRACK_PEAK", PeakText(track.peak)},
            {"REPLAYGAIN_REFERENCE_LOUDNESS", reference}};
}

std::vector<std::pair<std::string, std::string>> AlbumGainTags(const ReplayGain& album)
{
    return {{"REPLAYGAIN_ALBUM_GAIN", GainText(album.gain)}, {"REPLAYGAIN_ALBUM_PEAK", PeakText(album.peak)}};
}

}  // namespace tesslow
