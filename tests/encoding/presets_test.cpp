#include "encoding/presets.h"

#include <gtest/gtest.h>

#include <string>

namespace tesslow {
namespace {

TEST(Presets, FirstRunStepsAndClampingFollowTheSlider)
{
    // The stored defaults: MP3 8, WMA 15 (beyond its table), Ogg 1.
    EXPECT_STREQ(StepAt(FormatCode::Mp3, 8)->label, "256 kbps");
    EXPECT_STREQ(StepAt(FormatCode::Wma, 15)->label, "320 kbps");
    EXPECT_EQ(StepAt(FormatCode::Wma, 15)->index, 7);
    EXPECT_STREQ(StepAt(FormatCode::Ogg, 1)->label, "128 kbps");
    EXPECT_FALSE(StepAt(FormatCode::Flac, 5).has_value());
    EXPECT_EQ(QualitySteps(FormatCode::Mp3).size(), 10u);
    EXPECT_EQ(QualitySteps(FormatCode::Wma).size(), 8u);
    EXPECT_EQ(QualitySteps(FormatCode::Ogg).size(), 6u);
}

TEST(Presets, CustomKbpsNamesAStepOfTheFormatsOwnTable)
{
    EXPECT_EQ(StepForKbps(FormatCode::Ogg, 350)->value, 350000);
    EXPECT_EQ(StepForKbps(FormatCode::Mp3, 192)->index, 6);
    EXPECT_FALSE(StepForKbps(FormatCode::Ogg, 64).has_value());
    EXPECT_FALSE(StepForKbps(FormatCode::Wav, 128).has_value());
}

TEST(Presets, FormatsInPageOrderWithTheirSummaryNames)
{
    std::string order;
    for (const FormatInfo& format : kFormats) order += std::string(format.summaryName) + (format.lossless ? " " : "+ ");
    EXPECT_EQ(order, "WAV APE FLAC MP3+ WMA+ OGG+ ");
    EXPECT_EQ(FindFormat(static_cast<FormatCode>(0)), nullptr);
    EXPECT_EQ(FindFormat("flac")->code, FormatCode::Flac);
    EXPECT_EQ(FindFormat("FLAC"), nullptr);
}

TEST(Presets, TheReadyPagesQualityLine)
{
    EXPECT_EQ(QualitySummary(FormatCode::Mp3, QualityPreset::Medium, 0), "Meduim");
    EXPECT_EQ(QualitySummary(FormatCode::Mp3, QualityPreset::Custom, 6), "Custom (192 kbps)");
    EXPECT_EQ(QualitySummary(FormatCode::Wma, QualityPreset::Custom, 15), "Custom (320 kbps)");  // clamped
    EXPECT_EQ(QualitySummary(FormatCode::Flac, QualityPreset::Custom, 3), "Lossless");
}

}  // namespace
}  // namespace tesslow
