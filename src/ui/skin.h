#pragma once

#include "ui/page_id.h"
#include "ui/ui_fonts.h"
#include "ui/wizard_buttons.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace tesslow {

struct Settings;

// Everything that differs between the two looks of the wizard, chosen once at
// start-up. Pages do not ask which skin runs; the chrome paints from this.
struct Skin {
    SkinKind kind = SkinKind::Aero;
    UiFonts fonts;
    QFont titleFont;               // the welcome and final titles, and the Aero header
    QSize pageDialogUnits;         // the page templates' size
    QImage headerPicture;          // classic interior pages
    QImage sidePicture;            // classic welcome and final pages
    QString backLabel, nextLabel, finishLabel, cancelLabel, helpLabel;
    // The final page's restart button and labels.
    WizardButton restartButton = WizardButton::Finish;
    QString restartLabel, closeLabel;
    // The ready page's Next label (empty: Next keeps its own).
    QString startLabel;
    // The format page's link: one line with a link (Aero) or the two-line
    // link (classic).
    bool twoLineFormatLink = false;
    // The destination page: its first line and the strip under its previews.
    QString folderPrompt;
    int previewStrip = 223;
};

// The skin the user store's Skin value asks for (0 Aero, 1 classic),
// overridden by TESSLOW_SKIN=aero|classic.
SkinKind ChooseSkinKind(const Settings& settings);

Skin MakeSkin(SkinKind kind, const UiFonts& fonts);

}  // namespace tesslow
