#pragma once

#include "ui/wizard_buttons.h"

#include <QWidget>

#include <array>

class QAbstractButton;
class QStackedWidget;

namespace tesslow {

class WizardPage;
struct Skin;

// A skin's frame around the pages: header, page area and buttons. It owns the
// buttons and the page stack, paints what the skin paints and reports button
// clicks; the frame decides what they mean.
class WizardChrome : public QWidget {
    Q_OBJECT
public:
    WizardChrome(const Skin& skin, QWidget* parent);

    void AddPage(WizardPage* page);
    // Brings `page` to the front with its titles.
    virtual void ShowPage(WizardPage& page) = 0;
    // Shows and enables the buttons as the skin can; Help shows where `help`.
    virtual void ApplyButtons(const WizardButtonSet& set, bool help) = 0;
    QAbstractButton* Button(WizardButton button) const { return buttons_[static_cast<int>(button)]; }

signals:
    void Clicked(WizardButton button);

protected:
    // Makes a button, named "<name>Button" for tests, reporting its clicks.
    template <typename ButtonType>
    ButtonType* MakeButton(WizardButton which, const QString& label, const char* name);

    const Skin& skin_;
    QStackedWidget* stack_;
    std::array<QAbstractButton*, 5> buttons_{};
};

}  // namespace tesslow
