#pragma once

#include "app/drive_profile.h"
#include "ui/background_call.h"
#include "ui/wizard_page.h"

#include <memory>

class QLabel;
class QPushButton;

namespace tesslow {

class ScsiCommand;

// Page 7: the choices before the rip starts: format, quality and folder.
// Where the skin has a start label, Next carries it while this page is shown.
// "Options..." opens the options dialog with the rip's drive: its model is
// asked on a thread of its own first (the button greyed meanwhile), and an
// answer that comes after the page was left is dropped.
class ReadyPage final : public WizardPage {
    Q_OBJECT
public:
    explicit ReadyPage(const PageContext& context);
    QString Title() const override;
    QString Subtitle() const override;
    void OnSetActive() override;
    void OnLeave() override;
    void OnOptionsChanged() override;

private:
    // The drive of the rip, opened when the record had none, and its model.
    struct DriveAnswer {
        std::shared_ptr<ScsiCommand> drive;
        DriveModel model;
    };
    void AskDrive();
    void ShowOptions(DriveAnswer answer);

    QLabel* format_;
    QLabel* quality_;
    QLabel* folder_;
    QLabel* reading_ = nullptr;  // how the disc will be read (the options)
    QPushButton* options_;
    BackgroundCall<DriveAnswer> driveAnswer_;
};

}  // namespace tesslow
