#pragma once

#include "app/rip_job.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tesslow {

// The six output formats in the order the format page lists them.
struct FormatInfo {
    FormatCode code;
    bool lossless;            // no quality choice: the quality page is skipped
    const char* summaryName;  // shown by the ready page ("WAV", "APE", ...)
    const char* extension;    // with its leading dot
    const char* shortName;    // command-line name ("wav", "mp3", ...)
};

inline constexpr FormatInfo kFormats[] = {
    {FormatCode::Wav, true, "WAV", ".wav", "wav"},   {FormatCode::Ape, true, "APE", ".ape", "ape"},
    {FormatCode::Flac, true, "FLAC", ".flac", "flac"}, {FormatCode::Mp3, false, "MP3", ".mp3", "mp3"},
    {FormatCode::Wma, false, "WMA", ".wma", "wma"},   {FormatCode::Ogg, false, "OGG", ".ogg", "ogg"},
};

// Nothing for an invalid code.
const FormatInfo* FindFormat(FormatCode code);
// The format with that command-line name; nothing for an unknown name.
const FormatInfo* FindFormat(std::string_view shortName);

// One position of a format's custom-quality slider.
struct QualityStep {
    std::int32_t index;
    std::int32_t value;  // bit/s for the lossy formats; the compression level otherwise
    const char* label;
};

inline constexpr QualityStep kMp3Steps[] = {
    {0, 64000, "64 kbps"},   {1, 80000, "80 kbps"},   {2, 96000, "96 kbps"},   {3, 112000, "112 kbps"},
    {4, 128000, "128 kbps"}, {5, 160000, "160 kbps"}, {6, 192000, "192 kbps"}, {7, 224000, "224 kbps"},
    {8, 256000, "256 kbps"}, {9, 320000, "320 kbps"},
};
inline constexpr QualityStep kWmaSteps[] = {
    {0, 64000, "64 kbps"},   {1, 80000, "80 kbps"},   {2, 96000, "96 kbps"},   {3, 128000, "128 kbps"},
    {4, 160000, "160 kbps"}, {5, 192000, "192 kbps"}, {6, 256000, "256 kbps"}, {7, 320000, "320 kbps"},
};
inline constexpr QualityStep kOggSteps[] = {
    {0, 112000, "112 kbps"}, {1, 128000, "128 kbps"}, {2, 160000, "160 kbps"},
    {3, 192000, "192 kbps"}, {4, 256000, "256 kbps"}, {5, 350000, "350 kbps"},
};

// The custom-quality steps of a lossy format; empty for the others.
std::span<const QualityStep> QualitySteps(FormatCode code);

// The step at a stored slider position, clamped to the table as the slider
// clamps it. Nothing for a format without steps.
std::optional<QualityStep> StepAt(FormatCode code, std::uint32_t storedIndex);

// The step whose value is kbps × 1000 ("custom:192" names "192 kbps").
std::optional<QualityStep> StepForKbps(FormatCode code, std::int32_t kbps);

// "Low", "Meduim", "High", "Custom" as the ready page prints them.
const char* PresetSummaryName(QualityPreset preset);

// The ready page's quality line for a job: "Lossless" for a lossless format,
// the preset's summary name for a lossy one, and for Custom the name with the
// label of the chosen step, "Custom (192 kbps)".
std::string QualitySummary(FormatCode format, QualityPreset preset, std::int32_t stepIndex);

}  // namespace tesslow
