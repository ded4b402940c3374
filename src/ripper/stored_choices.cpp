#include "ripper/stored_choices.h"

#include "app/settings.h"
#include "encoding/presets.h"

namespace tesslow {

FormatCode StoredFormat(const Settings& settings)
{
    const auto stored = static_cast<FormatCode>(settings.LastFormat);
    return FindFormat(stored) ? stored : FormatCode::Mp3;
}

QualityPreset StoredPreset(const Settings& settings)
{
    return settings.LastPreset <= static_cast<std::uint32_t>(QualityPreset::Custom)
               ? static_cast<QualityPreset>(settings.LastPreset)
               : QualityPreset::Medium;
}

std::uint32_t StoredStep(const Settings& settings, FormatCode format)
{
    switch (format) {
    case FormatCode::Mp3: return settings.LastMP3Value;
    case FormatCode::Wma: return settings.LastWMAValue;
    case FormatCode::Ogg: return settings.LastOGGValue;
    case FormatCode::Wav:
    case FormatCode::Ape:
    case FormatCode::Flac: break;
    }
    return 0;
}

}  // namespace tesslow
