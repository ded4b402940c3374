#include "app/drive_profile.h"
#include "app/settings.h"
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
            offset->setValue(667);
            dialog.findChild<QCheckBox*>(QStringLiteral("optionOverread"))->setChecked(true);
        },
        true);
    wizard.frame->findChild<QPushButton*>(QStringLiteral("optionsButton"))->click();
    ASSERT_TRUE(opened);
    const Settings stored;
    EXPECT_EQ(stored.JitterCorrection, 1u);
    EXPECT_EQ(stored.VerifyReads, 0u);
    EXPECT_EQ(stored.Skin, 1u);
    EXPECT_EQ(reading->text(), "jitter correction on, AccurateRip check");
    const DriveProfile drive = LoadDriveProfile({"TESSLOW", "EMULATED CD-ROM"});
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

INSTANTIATE_TEST_SUITE_P(BothSkins, Options, ::testing::Values(SkinKind::Aero, SkinKind::Classic), test::SkinName);

}  // namespace
}  // namespace tesslow
