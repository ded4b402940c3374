#include "app/settings.h"
#include "cli/options.h"
#include "cli/rip_choices.h"
#include "encoding/presets.h"
#include "metadata/disc_id.h"
#include "metadata/title_cache.h"
#include "ripper/rip_plan.h"
#include "wizard_harness.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tesslow {
namespace {

using test::WizardHarness;

// The same choices made on the wizard's pages and on tesslow-rip's command
// line: the engine builds the same job from either.
struct Choices {
    const char* name;
    std::function<void(Settings&)> stored;  // the settings as the person left them
    const char* formatRadio;                // nullptr: the format page as it opens
    const char* presetRadio;                // nullptr: the quality page as it opens (or none for lossless)
    int sliderStep;                         // -1: the slider as it opens
    std::vector<int> uncheckedRows;
    bool artist, album, year;
    std::vector<std::string> commandLine;   // besides --output, the subfolder flags and --drive
    // What the job must be, so that two equally wrong jobs do not pass.
    FormatCode format;
    std::int32_t qualityValue;
    std::vector<std::uint32_t> tracks;
};

// Named by its name in test listings rather than by its bytes.
void PrintTo(const Choices& choices, std::ostream* out) { *out << choices.name; }

const Choices kChoices[] = {
    {"Mp3MediumEveryTrack", {}, "formatMp3", "presetMedium", -1, {}, true, true, false,
     {"--format", "mp3", "--quality", "medium"}, FormatCode::Mp3, 256000, {0, 1, 2}},
    // A stored format code that names none, a preset past Custom and a step
    // beyond the table: MP3, Medium and the top step, on both sides.
    {"StoredValuesOutOfRangeFallBackToMp3",
     [](Settings& settings) {
         settings.WriteNumber("LastFormat", 9);
         settings.WriteNumber("LastPreset", 7);
         settings.WriteNumber("LastMP3Value", 50);
     },
     nullptr, nullptr, -1, {}, false, true, true, {}, FormatCode::Mp3, 320000, {0, 1, 2}},
    {"OggCustomStepOnTheSlider", {}, "formatOgg", "presetCustom", 3, {1}, true, false, false,
     {"--format", "ogg", "--quality", "custom:192", "--tracks", "1,3"}, FormatCode::Ogg, 192000, {0, 2}},
    {"FlacWithoutSubfoldersAndOneTrack", {}, "formatFlac", nullptr, -1, {0, 2}, false, false, false,
     {"--format", "flac", "--tracks", "2"}, FormatCode::Flac, 0, {1}},
    {"WmaHighWithTheYearInTheAlbumFolder", {}, "formatWma", "presetHigh", -1, {2}, true, true, true,
     {"--format", "wma", "--quality", "high", "--tracks", "1-2"}, FormatCode::Wma, 320000, {0, 1}},
};

class WizardJob : public ::testing::TestWithParam<Choices> {
protected:
    template <typename Widget>
    Widget* Find(const char* name)
    {
        return wizard.frame->findChild<Widget*>(QString::fromLatin1(name));
    }

    WizardHarness wizard{SkinKind::Aero};
    std::string out = (wizard.sandbox.Root() / "out").string();
};

TEST_P(WizardJob, TheWizardsPagesAndTheCommandLineBuildTheSameJob)
{
    const Choices& c = GetParam();
    const std::string key = wizard.state.job.driveKey;
    {
        AlbumInfo album;
        album.artist = "The Testers";
        album.album = "Same Job";
        album.year = "2026";
        album.trackTitles = {"One", "Two", "Three"};
        TitleCache cache;
        cache.Store(DiscIdFromRawToc((*wizard.state.records)[key].rawToc), album);
        ASSERT_TRUE(cache.Write());
        Settings settings;
        if (c.stored) c.stored(settings);
    }
    // The command line reads the settings as the person left them; the
    // wizard's pages write theirs as they are left.
    const Settings before;
    std::vector<std::string> args = c.commandLine;
    for (const std::string& more :
         {std::string("--drive"), key, std::string("--output"), out, std::string(c.artist ? "--artist-folder" : "--no-artist-folder"),
          std::string(c.album ? "--album-folder" : "--no-album-folder"), std::string(c.year ? "--year" : "--no-year")})
        args.push_back(more);
    const RipChoices cli = RipChoicesFrom(ParseOptions(args));

    ASSERT_TRUE(wizard.GoToTracks());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Find<QLabel>("trackStatus")->text().contains("loaded"); }, 5000));
    for (const int row : c.uncheckedRows) Find<QTreeWidget>("trackList")->topLevelItem(row)->setCheckState(0, Qt::Unchecked);
    ASSERT_TRUE(wizard.NextFromTracks());
    ASSERT_EQ(wizard.Current(), PageId::Format);
    if (c.formatRadio) Find<QRadioButton>(c.formatRadio)->click();
    wizard.Click("next");
    if (wizard.Current() == PageId::Quality) {
        if (c.presetRadio) Find<QRadioButton>(c.presetRadio)->click();
        if (c.sliderStep >= 0) Find<QSlider>("qualitySlider")->setValue(c.sliderStep);
        wizard.Click("next");
    }
    ASSERT_EQ(wizard.Current(), PageId::Destination);
    Find<QLineEdit>("folderEdit")->setText(QString::fromStdString(out));
    Find<QCheckBox>("artistBox")->setChecked(c.artist);
    Find<QCheckBox>("albumBox")->setChecked(c.album);
    Find<QCheckBox>("yearBox")->setChecked(c.year);
    wizard.Click("next");
    ASSERT_EQ(wizard.Current(), PageId::Ready);

    const RipJob& fromWizard = wizard.state.job;
    const RipJob fromCli = PlanRip(before, cli, key, (*wizard.state.records)[key]).job;
    EXPECT_EQ(fromWizard.driveKey, fromCli.driveKey);
    EXPECT_EQ(fromWizard.SelectedTracks, fromCli.SelectedTracks);
    EXPECT_EQ(fromWizard.format, fromCli.format);
    EXPECT_EQ(fromWizard.preset, fromCli.preset);
    EXPECT_EQ(fromWizard.qualityStep, fromCli.qualityStep);
    EXPECT_EQ(fromWizard.qualityValue, fromCli.qualityValue);
    EXPECT_EQ(fromWizard.OutputFolder, fromCli.OutputFolder);
    EXPECT_EQ(fromWizard.NameTemplate, fromCli.NameTemplate);
    EXPECT_EQ(fromWizard.AlwaysOverwrite, fromCli.AlwaysOverwrite);

    EXPECT_EQ(fromWizard.format, c.format);
    EXPECT_EQ(fromWizard.qualityValue, c.qualityValue);
    EXPECT_EQ(fromWizard.SelectedTracks, c.tracks);
    const std::string folder = out + (c.artist ? "/The Testers" : "") +
                               (c.album ? (c.year ? "/2026 Same Job" : "/Same Job") : "");
    EXPECT_EQ(fromWizard.OutputFolder, folder);
}

INSTANTIATE_TEST_SUITE_P(Choices, WizardJob, ::testing::ValuesIn(kChoices),
                         [](const ::testing::TestParamInfo<Choices>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tesslow
