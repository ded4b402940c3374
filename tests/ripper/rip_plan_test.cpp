#include "app/settings.h"
#include "ripper/rip_plan.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>

namespace tesslow {
namespace {

// How the planner picks the format and the quality step from the stored
// settings and a front end's choices: the command line names a bit rate, the
// wizard a position of its slider, and what neither names comes from the
// settings, with what they cannot hold falling back.
TEST(PlanRip, TheFormatAndQualityStepComeFromTheChoicesElseTheSettingsWithinTheirTables)
{
    struct Case {
        const char* name;
        std::function<void(Settings&, RipChoices&)> choose;
        FormatCode format;
        QualityPreset preset;
        std::int32_t step;
        std::int32_t value;
    };
    const Case cases[] = {
        {"stored values out of range", [](Settings& s, RipChoices&) {
             s.LastFormat = 9;
             s.LastPreset = 7;
             s.LastMP3Value = 50;
         }, FormatCode::Mp3, QualityPreset::Medium, 9, 320000},
        {"stored OGG", [](Settings& s, RipChoices&) {
             s.LastFormat = 4;
             s.LastPreset = 3;
             s.LastOGGValue = 2;
         }, FormatCode::Ogg, QualityPreset::Custom, 2, 160000},
        {"the slider's step over the stored one", [](Settings& s, RipChoices& c) {
             s.LastMP3Value = 8;
             c.format = FormatCode::Mp3;
             c.qualityStep = 4;
         }, FormatCode::Mp3, QualityPreset::Medium, 4, 128000},
        {"a custom bit rate over the slider's step", [](Settings&, RipChoices& c) {
             c.format = FormatCode::Mp3;
             c.preset = QualityPreset::Custom;
             c.customKbps = 192;
             c.qualityStep = 1;
         }, FormatCode::Mp3, QualityPreset::Custom, 6, 192000},
        {"a step beyond the table", [](Settings&, RipChoices& c) {
             c.format = FormatCode::Wma;
             c.preset = QualityPreset::High;
             c.qualityStep = 99;
         }, FormatCode::Wma, QualityPreset::High, 7, 320000},
        {"a lossless format has no step", [](Settings&, RipChoices& c) {
             c.format = FormatCode::Flac;
             c.qualityStep = 3;
         }, FormatCode::Flac, QualityPreset::Medium, 0, 0},
    };
    test::UserSandbox sandbox;
    DiscRecord disc;
    disc.tracks.resize(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Settings settings;
        settings.LastFolder = (sandbox.Root() / "out").string();
        RipChoices choices;
        c.choose(settings, choices);
        const RipJob job = PlanRip(settings, choices, "drive", disc).job;
        EXPECT_EQ(job.format, c.format);
        EXPECT_EQ(job.preset, c.preset);
        EXPECT_EQ(job.qualityStep, c.step);
        EXPECT_EQ(job.qualityValue, c.value);
        EXPECT_EQ(job.SelectedTracks, (std::vector<std::uint32_t>{0, 1}));
    }
}

}  // namespace
}  // namespace tesslow
