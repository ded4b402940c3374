#include "encoding/presets.h"

#include "platform/format.h"

#include <algorithm>

namespace tesslow {

const FormatInfo* FindFormat(FormatCode code)
{
    for (const FormatInfo& format : kFormats)
        if (format.code == code) return &format;
    return nullptr;
}

const FormatInfo* FindFormat(std::string_view shortName)
{
    for (const FormatInfo& format : kFormats)
        if (format.shortName == shortName) return &format;
    return nullptr;
}

std::span<const QualityStep> QualitySteps(FormatCode code)
{
    switch (code) {
    case FormatCode::Mp3: return kMp3Steps;
    case FormatCode::Wma: return kWmaSteps;
    case FormatCode::Ogg: return kOggSteps;
    case FormatCode::Wav:
    case FormatCode::Ape:
    case FormatCode::Flac: break;
    }
    return {};
}

std::optional<QualityStep> StepAt(FormatCode code, std::uint32_t storedIndex)
{
    const auto steps = QualitySteps(code);
    if (steps.empty()) return std::nullopt;
    return steps[std::min<std::size_t>(storedIndex, steps.size() - 1)];
}

std::optional<QualityStep> StepForKbps(FormatCode code, std::int32_t kbps)
{
    for (const QualityStep& step : QualitySteps(code))
        if (step.value == kbps * 1000) return step;
    return std::nullopt;
}

const char* PresetSummaryName(QualityPreset preset)
{
    switch (preset) {
    case QualityPreset::Low: return "Low";
    case QualityPreset::Medium: return "Meduim";  // the ready page's own spelling
    case QualityPreset::High: return "High";
    case QualityPreset::Custom: return "Custom";
    }
    return "";
}

std::string QualitySummary(FormatCode format, QualityPreset preset, std::int32_t stepIndex)
{
    const FormatInfo* info = FindFormat(format);
    if (!info || info->lossless) return "Lossless";
    if (preset != QualityPreset::Custom) return PresetSummaryName(preset);
    const auto step = StepAt(format, static_cast<std::uint32_t>(std::max(stepIndex, 0)));
    return Format("%1% (%2%)", PresetSummaryName(preset), step ? step->label : "");
}

}  // namespace tesslow
