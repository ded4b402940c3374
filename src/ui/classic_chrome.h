#pragma once

#include "ui/wizard_chrome.h"

#include <QColor>
#include <QPalette>
#include <QString>

namespace tesslow {

// The classic header's band behind the title and subtitle (the header
// picture's own colour, or the palette's base without one), and the colour
// their text is drawn in: the palette's text colour where it stands out on
// the band, else black or white.
QColor HeaderBackground(const Skin& skin, const QPalette& palette);
QColor HeaderTextColour(const Skin& skin, const QPalette& palette);

// The classic look: interior pages under a header band (the header picture,
// the title in bold and the subtitle on the window colour, an etched line
// below), the welcome and final pages on the window colour with the side
// banner and the title in the title font; Back, Next or Finish, Cancel and
// Help in a row at the bottom.
class ClassicChrome final : public WizardChrome {
    Q_OBJECT
public:
    ClassicChrome(const Skin& skin, QWidget* parent);

    void ShowPage(WizardPage& page) override;
    void ApplyButtons(const WizardButtonSet& set, bool help) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceStack();
    int HeaderHeight() const;
    int SideWidth() const;  // 0 without the banner
    int ButtonRowTop() const;

    QSize pageSize_;
    bool exterior_ = true;
    QString title_, subtitle_;
};

}  // namespace tesslow
