#include "app/settings.h"
#include "encoding/presets.h"
#include "ui/controls/hyperlink_label.h"
#include "ui/controls/preview_strip.h"
#include "ui/help.h"
#include "wizard_harness.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include <gtest/gtest.h>

namespace tesslow {
namespace {

using test::WizardHarness;

class ChoicePages : public ::testing::TestWithParam<SkinKind> {
protected:
    template <typename Widget>
    Widget* Find(const char* name)
    {
        return wizard.frame->findChild<Widget*>(QString::fromLatin1(name));
    }

    // Titles with characters a file name cannot hold.
    void NameTheDisc(const std::string& year)
    {
        AlbumInfo& album = (*wizard.state.records)[wizard.state.job.driveKey].album;
        album.artist = "AC/DC";
        album.album = "Back: In Black?";
        album.year = year;
        album.trackTitles = {"Hells Bells", "Shoot to Thrill", "What Do You Do for Money Honey"};
    }

    QString FolderPreview() { return Find<PreviewStrip>("folderPreview")->Text(); }
    QString FilePreview() { return Find<PreviewStrip>("filePreview")->Text(); }

    WizardHarness wizard{GetParam()};
};

TEST_P(ChoicePages, EachFormatRoundTripsThroughLastFormatAndTheQualityPageIsOnlyForLossyOnes)
{
    const std::pair<FormatCode, const char*> radios[] = {
        {FormatCode::Wav, "formatWav"}, {FormatCode::Ape, "formatApe"}, {FormatCode::Flac, "formatFlac"},
        {FormatCode::Mp3, "formatMp3"}, {FormatCode::Wma, "formatWma"}, {FormatCode::Ogg, "formatOgg"}};
    for (std::size_t i = 0; i < std::size(radios); ++i) {
        const auto [stored, storedRadio] = radios[i];
        const auto [chosen, chosenRadio] = radios[(i + 1) % std::size(radios)];
        Settings().WriteLastFormat(stored);
        wizard.GoTo(PageId::Format);
        EXPECT_TRUE(Find<QRadioButton>(storedRadio)->isChecked()) << storedRadio;
        Find<QRadioButton>(chosenRadio)->click();
        wizard.Click("next");
        EXPECT_EQ(Settings().LastFormat, static_cast<std::uint32_t>(chosen));
        EXPECT_EQ(wizard.state.choices.format, chosen);
        EXPECT_EQ(wizard.Current(), FindFormat(chosen)->lossless ? PageId::Destination : PageId::Quality);
    }
}

TEST_P(ChoicePages, TheFormatsLinkOpensTheFormatsHelp)
{
    wizard.GoTo(PageId::Format);
    auto* link = Find<HyperlinkLabel>("formatsLink");
    QTest::mouseClick(link, Qt::LeftButton, {}, link->LinkRect().center());
    EXPECT_EQ(wizard.shell.Opened(), std::vector<std::string>{HelpPageUrl(Settings().AppPath, 6)});
}

TEST_P(ChoicePages, TheSliderSpansTheFormatsStepsAndOnlyCustomUsesIt)
{
    for (const FormatCode format : {FormatCode::Mp3, FormatCode::Wma, FormatCode::Ogg}) {
        SCOPED_TRACE(static_cast<int>(format));
        const auto steps = QualitySteps(format);
        Settings().WriteLastQualityValue(format, 50);  // beyond the table
        Settings().WriteLastPreset(QualityPreset::Low);
        wizard.state.choices.format = format;
        wizard.GoTo(PageId::Quality);
        auto* slider = Find<QSlider>("qualitySlider");
        auto* step = Find<QLabel>("qualityStep");
        EXPECT_EQ(slider->minimum(), 0);
        EXPECT_EQ(slider->maximum(), static_cast<int>(steps.size()) - 1);
        EXPECT_EQ(slider->value(), slider->maximum());
        EXPECT_EQ(step->text(), QString::fromUtf8(steps.back().label));
        EXPECT_FALSE(slider->isEnabled());
        Find<QRadioButton>("presetCustom")->click();
        EXPECT_TRUE(slider->isEnabled());
        slider->setValue(1);
        EXPECT_EQ(step->text(), QString::fromUtf8(steps[1].label));
        wizard.Click("next");
        EXPECT_EQ(wizard.state.choices.preset, QualityPreset::Custom);
        EXPECT_EQ(wizard.state.choices.qualityStep, 1u);
        EXPECT_EQ(Settings().LastPreset, 3u);
        wizard.Click("back");
        Find<QRadioButton>("presetHigh")->click();
        EXPECT_FALSE(slider->isEnabled());
    }
}

TEST_P(ChoicePages, TheFolderPreviewFollowsTheBoxesAndTheDiscsNamesMadeSafe)
{
    const std::string music = (wizard.sandbox.Home() / "Music").string();
    Settings settings;
    settings.WriteLastFolder(music);
    settings.WriteSubfolders(true, true, true);
    NameTheDisc("1980");
    wizard.GoTo(PageId::Destination);
    EXPECT_EQ(FolderPreview().toStdString(), music + "/AC_DC/1980 Back_ In Black_");
    EXPECT_EQ(FilePreview(), "AC_DC - [01] Hells Bells.mp3");

    NameTheDisc("");  // no year: none in the name
    wizard.GoTo(PageId::Destination);
    EXPECT_EQ(FolderPreview().toStdString(), music + "/AC_DC/Back_ In Black_");

    NameTheDisc("1980");
    auto* album = Find<QCheckBox>("albumBox");
    auto* year = Find<QCheckBox>("yearBox");
    album->click();  // off: the year box goes grey and has no effect
    EXPECT_FALSE(year->isEnabled());
    EXPECT_TRUE(year->isChecked());
    EXPECT_EQ(FolderPreview().toStdString(), music + "/AC_DC");
    Find<QCheckBox>("artistBox")->click();
    EXPECT_EQ(FolderPreview().toStdString(), music);
    album->click();
    EXPECT_TRUE(year->isEnabled());

    // The file name follows the template and the format's extension.
    Find<QLineEdit>("templateEdit")->setText(QStringLiteral("%5 %2 (%4)"));
    EXPECT_EQ(FilePreview(), "01 Hells Bells (1980).mp3");
    wizard.Click("next");
    EXPECT_EQ(wizard.state.job.OutputFolder, music + "/1980 Back_ In Black_");
    EXPECT_EQ(wizard.state.job.NameTemplate, "%5 %2 (%4)");
    EXPECT_EQ(Settings().NameTemplate, "%5 %2 (%4)");
    wizard.state.choices.format = FormatCode::Flac;
    wizard.GoTo(PageId::Destination);
    EXPECT_EQ(FilePreview(), "01 Hells Bells (1980).flac");
}

TEST_P(ChoicePages, ALongFolderIsShortenedInTheMiddleAfterItsFirstComponent)
{
    const std::string deep = "/home/someone/Music/Collections/Jazz and Blues/Remastered Editions/Disc Box Sets";
    Settings().WriteLastFolder(deep);
    Settings().WriteSubfolders(true, false, false);
    NameTheDisc("1980");
    wizard.GoTo(PageId::Destination);
    auto* preview = Find<PreviewStrip>("folderPreview");
    preview->setFixedWidth(200);
    const QString shown = preview->ShownText();
    EXPECT_TRUE(shown.startsWith("/home/...")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("/AC_DC")) << shown.toStdString();
    EXPECT_LE(preview->fontMetrics().horizontalAdvance(shown), 198);

    const QFontMetrics metrics(preview->font());
    EXPECT_EQ(ShortenFolder(QStringLiteral("Music/Jazz"), metrics, 10), "Music/Jazz");  // not a full path: as it is
    EXPECT_EQ(ShortenFolder(QStringLiteral("/a/b"), metrics, 500), "/a/b");
    // A folder of 32 K characters (the longest a setting could hold) keeps its
    // first folder and as much of its end as fits, and never half a character.
    const QString longest = QStringLiteral("/home/") + QString(32760, QLatin1Char('x')) + QStringLiteral("/\U0001F3B5end");
    const QString cut = ShortenFolder(longest, metrics, 300);
    EXPECT_TRUE(cut.startsWith("/home/...x")) << cut.toStdString();
    EXPECT_TRUE(cut.endsWith(QStringLiteral("x/\U0001F3B5end"))) << cut.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(cut), 300);
    EXPECT_GT(metrics.horizontalAdvance(cut + QLatin1Char('x')), 300 - metrics.horizontalAdvance(QLatin1Char('x')));
}

TEST_P(ChoicePages, NextWantsAUsableNameAndAFolderThatCanBeWritten)
{
    wizard.GoTo(PageId::Destination);
    auto* nameTemplate = Find<QLineEdit>("templateEdit");
    NameTheDisc("1980");
    for (const char* useless : {"", " / . ", "%4"}) {
        NameTheDisc("");
        nameTemplate->setText(QString::fromUtf8(useless));
        EXPECT_FALSE(Find<QLabel>("templateWarning")->isHidden()) << useless;
        EXPECT_FALSE(wizard.Usable("next")) << useless;
    }
    // Names, but the same for every track.
    for (const char* alike : {"n", "%1 - %3", "%%5 %%2"}) {
        nameTemplate->setText(QString::fromUtf8(alike));
        EXPECT_EQ(Find<QLabel>("templateWarning")->text(), "This template gives every track the same name: put %2 or %5 into it.")
            << alike;
        EXPECT_FALSE(Find<QLabel>("templateWarning")->isHidden()) << alike;
        EXPECT_FALSE(wizard.Usable("next")) << alike;
    }
    nameTemplate->setText(QStringLiteral("%2"));
    EXPECT_TRUE(Find<QLabel>("templateWarning")->isHidden());
    EXPECT_TRUE(wizard.Usable("next"));

    Find<QLineEdit>("folderEdit")->setText(QStringLiteral("/proc/self/status/Music"));
    const QString said = test::AcceptMessageBoxDuring([&] { wizard.Click("next"); });
    EXPECT_TRUE(said.startsWith("The files cannot be saved in this folder")) << said.toStdString();
    EXPECT_EQ(wizard.Current(), PageId::Destination);
}

INSTANTIATE_TEST_SUITE_P(BothSkins, ChoicePages, ::testing::Values(SkinKind::Aero, SkinKind::Classic),
                         test::SkinName);

}  // namespace
}  // namespace tesslow
