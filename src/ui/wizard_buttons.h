#pragma once

namespace tesslow {

// The frame's buttons. On the classic skin Back, Next (or Finish in its
// place), Cancel and Help sit in a row at the bottom; on the Aero skin Back is
// the arrow beside the title and Next, Finish and Cancel sit in the command
// strip.
enum class WizardButton { Back, Next, Finish, Cancel, Help };

enum class ButtonState { Hidden, Disabled, Enabled };

// What a page asks of the buttons when it becomes active. The classic skin
// cannot hide Back or Next: it shows them disabled, and it shows Finish in
// place of Next when Finish is not hidden; its Cancel is always usable. The
// Aero skin shows and enables each button as asked.
struct WizardButtonSet {
    ButtonState back = ButtonState::Enabled;
    ButtonState next = ButtonState::Enabled;
    ButtonState finish = ButtonState::Hidden;
    ButtonState cancel = ButtonState::Enabled;
};

// Where Next or Back leads, as the page answers it.
struct PageTurn {
    enum class Kind { Onward, Stay, ToIndex, ToTemplate };
    Kind kind = Kind::Onward;
    int value = 0;

    // The neighbouring page (Next: the one after, Back: the one before).
    static PageTurn Onward() { return {}; }
    // No move: the page has done what it wanted (perhaps selected a page itself).
    static PageTurn Stay() { return {Kind::Stay, 0}; }
    static PageTurn ToIndex(int index) { return {Kind::ToIndex, index}; }
    // The page with this skin's template id.
    static PageTurn ToTemplate(int templateId) { return {Kind::ToTemplate, templateId}; }
};

}  // namespace tesslow
