#pragma once

#include "app/drive_profile.h"
#include "ui/options_dialog.h"
#include "ui/wizard_buttons.h"

#include <QDialog>

#include <vector>

namespace tesslow {

class WizardChrome;
class WizardPage;
struct Skin;

// The wizard window: pages in a fixed order shown one at a time inside the
// skin's chrome, with the property-sheet rules. Next and Back ask the current
// page where to go (onward, stay, an index, a template id); Finish and Cancel
// ask whether the wizard may close; Esc and the close box are Cancel; Help
// and F1 go to the page. Selecting a page, by the frame or by a page, first
// lets the current page refuse to be left, then activates the new one.
//
// UI thread only. Pages are owned by the frame.
class WizardFrame : public QDialog {
    Q_OBJECT
public:
    explicit WizardFrame(const Skin& skin, QWidget* parent = nullptr);

    const Skin& skin() const { return skin_; }

    void AddPage(WizardPage* page);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    WizardPage* Page(int index) const;
    int IndexOfTemplate(int templateId) const;
    int CurrentIndex() const { return current_; }
    WizardPage* CurrentPage() const { return Page(current_); }

    // The options dialog (also Ctrl+, on any page), with what is remembered
    // for the drive's model when given, and its "Detect" with a detector; the
    // page shown hears of a change.
    void ShowOptions(const DriveModel& drive = {}, OffsetDetector detect = {});

    // Shows page `first` (0: the welcome page); call once, before running.
    void Start(int first = 0);

    // Selects a page by index or by template id; false when there is none or
    // the current page refused to be left.
    bool SetCurSel(int index);
    bool SetCurSelId(int templateId);

    void SetButtons(const WizardButtonSet& set);
    // Relabels a button; an empty text puts back the skin's label.
    void SetButtonText(WizardButton button, const QString& text);
    QString ButtonText(WizardButton button) const;

    // As if the user pressed the button (when it is usable).
    void Press(WizardButton button);

    // Closes the wizard without asking the page (the last-resort guard).
    void Abandon();

    // The window adjustment made once, when the first page starts: the
    // classic window gets a minimize box and may be resized, the Aero window
    // keeps its size.
    void AdjustWindow();

    // Esc and the window's close box: as Cancel.
    void reject() override;

private:
    void Follow(const PageTurn& turn, int step);
    void ApplyButtons();

    const Skin& skin_;
    WizardChrome* chrome_;
    std::vector<WizardPage*> pages_;
    int current_ = -1;
    WizardButtonSet buttons_;
};

}  // namespace tesslow
