#include "accuracy/accuraterip_id.h"
#include "app/drive_profile.h"
#include "app/settings.h"
#include "drive/drive_model.h"
#include "drive/toc_reader.h"
#include "support/accuraterip_data.h"
#include "support/http_fixture_server.h"
#include "ui/options_dialog.h"
#include "wizard_harness.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace tesslow {
namespace {

using test::WizardHarness;

class Options : public ::testing::TestWithParam<SkinKind> {
protected:
    // Does `act` in the options dialog as soon as it is open (however slowly
    // it comes), then presses its OK or Cancel.
    void InTheDialog(const std::function<void(QDialog&)>& act, bool ok)
    {
        auto* watch = new QTimer(wizard.frame.get());
        QObject::connect(watch, &QTimer::timeout, [watch, act, ok] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || dialog->objectName() != QLatin1String("optionsDialog") || !dialog->isVisible()) return;
            watch->stop();
            watch->deleteLater();
            act(*dialog);
            dialog->findChild<QDialogButtonBox*>()->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        watch->start(20);
    }

    WizardHarness wizard{GetParam()};
};

TEST_P(Options, TheReadyPageSaysHowTheDiscIsReadAndTheOptionsChangeTheStore)
{
    wizard.GoTo(PageId::Ready);
    auto* reading = wizard.frame->findChild<QLabel*>(QStringLiteral("readyReading"));
    EXPECT_EQ(reading->text(), "jitter correction off, AccurateRip check, second read where needed");

    bool opened = false;
    InTheDialog(
        [&](QDialog& dialog) {
            opened = true;
            dialog.findChild<QCheckBox*>(QStringLiteral("optionJitterCorrection"))->setChecked(true);
            dialog.findChild<QCheckBox*>(QStringLiteral("optionVerifyReads"))->setChecked(false);
            dialog.findChild<QComboBox*>(QStringLiteral("optionSkin"))->setCurrentIndex(1);
            // The rip's drive: nothing remembered yet for its model.
            auto* offset = dialog.findChild<QSpinBox*>(QStringLiteral("optionReadOffset"));
            ASSERT_NE(offset, nullptr);
            EXPECT_EQ(offset->text(), "not known yet");
            EXPECT_NE(dialog.findChild<QPushButton*>(QStringLiteral("optionDetectOffset")), nullptr);
            offset->setValue(667);
            dialog.findChild<QCheckBox*>(QStringLiteral("optionOverread"))->setChecked(true);
        },
        true);
    // The dialog opens when the drive has said its model.
    wizard.frame->findChild<QPushButton*>(QStringLiteral("optionsButton"))->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened; }, 10000));
    const Settings stored;
    EXPECT_EQ(stored.JitterCorrection, 1u);
    EXPECT_EQ(stored.VerifyReads, 0u);
    EXPECT_EQ(stored.Skin, 1u);
    EXPECT_EQ(reading->text(), "jitter correction on, AccurateRip check");
    const DriveProfile drive = LoadDriveProfile({"TESSLOW", "EMULATED CD-ROM", ""});
    EXPECT_EQ(drive.readOffset, 667);
    EXPECT_TRUE(drive.overread);

    // Ctrl+, on any page; Cancel keeps the store as it was.
    wizard.GoTo(PageId::Format);
    opened = false;
    InTheDialog(
        [&](QDialog& dialog) {
            opened = true;
            EXPECT_TRUE(dialog.findChild<QCheckBox*>(QStringLiteral("optionJitterCorrection"))->isChecked());
            EXPECT_EQ(dialog.findChild<QSpinBox*>(QStringLiteral("optionReadOffset")), nullptr);  // no drive here
            dialog.findChild<QCheckBox*>(QStringLiteral("optionAccurateRip"))->setChecked(false);
        },
        false);
    wizard.frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(wizard.frame.get()));
    QTest::keyClick(wizard.frame->windowHandle(), Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_TRUE(opened);
    EXPECT_EQ(Settings().AccurateRip, 1u);
}

// "Detect" searches the disc in the drive for the read offset, with a
// database of the test's own whose entries are worked out from the disc's
// audio; OK remembers what it found, and closing the dialog ends a search
// that waits for an answer that never comes.
TEST(OptionsDetect, DetectFindsTheDrivesReadOffsetOrSaysWhyNot)
{
    struct Case {
        const char* name;
        const char* database;  // "known", "unknown" or "hangs"
        const char* note;      // what the dialog says when done; empty: closed while searching
    };
    const Case cases[] = {
        {"known", "known", "Read offset of this drive: +102 samples (3 tracks agree, AccurateRip); OK remembers it."},
        {"unknown", "unknown",
         "This disc is not in the AccurateRip database, so it cannot tell the read offset; try another disc."},
        {"hangs", "hangs", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::UserSandbox sandbox;
        test::TempDir dir, serverRoot;
        test::HttpFixtureServer server(serverRoot.Path());
        test::ScopedEnv url("TESSLOW_ACCURATERIP_URL", server.Url().c_str());
        const std::vector<std::int32_t> lengths = {600, 700, 650};
        std::vector<test::TestTrack> tracks;
        for (const std::int32_t length : lengths) tracks.push_back({length});
        const test::WrittenDisc written = test::WriteTestDisc(
            dir.Path(), {.tracks = tracks, .conditions = {"OFFSET +102", "INQUIRY \"TESTVEND\" \"DETECTING\""}});
        DiscRecords records;
        ASSERT_TRUE(ProbeDisc(records, written.cue.string()));
        ReadToc(records, written.cue.string());  // opens the record's drive, as the tracks page does
        const DiscRecord& disc = records[written.cue.string()];
        const std::string id = AccurateRipIdOf(disc.rawToc)->Text();
        std::vector<test::DbarEntry> entries;
        for (std::size_t t = 0; t < lengths.size(); ++t) {
            const test::TrackSums sums = test::SumsOf(test::DiscBytes(written, written.starts[t], lengths[t]), t == 0,
                                                      t + 1 == lengths.size());
            entries.push_back({5, sums.v1, sums.frame450});
        }
        const std::filesystem::path fixture = test::DbarFixture(serverRoot.Path(), id);
        if (std::string(c.database) != "unknown") test::WriteFile(fixture, test::DbarResponse(id, entries));
        if (std::string(c.database) == "hangs") test::WriteFile(fixture.string() + ".hang", "");

        const DriveModel model = InquireDriveModel(*disc.drive);
        auto dialog = std::make_unique<OptionsDialog>(
            nullptr, model, [&disc](const std::function<bool()>& giveUp) { return DetectReadOffset(disc, giveUp); });
        dialog->show();
        auto* offset = dialog->findChild<QSpinBox*>(QStringLiteral("optionReadOffset"));
        auto* note = dialog->findChild<QLabel*>(QStringLiteral("optionDetectNote"));
        auto* detect = dialog->findChild<QPushButton*>(QStringLiteral("optionDetectOffset"));
        ASSERT_NE(detect, nullptr);
        detect->click();
        EXPECT_FALSE(detect->isEnabled());
        if (!*c.note) {
            // The search waits on the database; the dialog closes at once all the same.
            ASSERT_TRUE(QTest::qWaitFor([&] { return server.Requests().size() == 1; }, 20000));
            dialog.reset();
            EXPECT_FALSE(LoadDriveProfile(model).readOffset);
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return detect->isEnabled(); }, 60000));
        EXPECT_EQ(note->text().toStdString(), c.note);
        const bool found = std::string(c.database) == "known";
        EXPECT_EQ(offset->text(), found ? "102 samples" : "not known yet");
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        EXPECT_EQ(LoadDriveProfile(model).readOffset, found ? std::optional<std::int32_t>(102) : std::nullopt);
    }
}

INSTANTIATE_TEST_SUITE_P(BothSkins, Options, ::testing::Values(SkinKind::Aero, SkinKind::Classic), test::SkinName);

}  // namespace
}  // namespace tesslow
