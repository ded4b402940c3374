#pragma once

#include "ui/wizard_page.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tesslow {

class PreviewStrip;

// Page 6: the output folder (with a browse button inside its edit), the
// artist, album and year subfolders, the file-name template and the
// overwrite box, with live previews of the folder and of the first file's
// name. The settings are read on activation and written, with the wizard's
// folder, subfolder, template and overwrite choices, on leaving. Next has the
// engine's planner build the job from the wizard's choices, and also wants a
// usable file name and a folder that can be made and written.
class DestinationPage final : public WizardPage {
    Q_OBJECT
public:
    explicit DestinationPage(const PageContext& context);
    QString Subtitle() const override;
    void OnSetActive() override;
    void OnLeave() override;
    PageTurn OnWizardNext() override;
    PageTurn OnWizardBack() override;

private:
    void Refresh();
    void Browse();
    std::string ComposedFolder() const;


    QLineEdit* folder_;
    QCheckBox* artist_;
    QCheckBox* album_;
    QCheckBox* year_;
    PreviewStrip* folderPreview_;
    QLineEdit* template_;
    QLabel* templateWarning_;
    PreviewStrip* filePreview_;
    QCheckBox* overwrite_;
};


}  // namespace tesslow
